#include "DocToolbarDelegate.h"

#include "platform/Preferences.h"
#include "platform/StringTables.h"
#include "window/WindowIcons.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace {

struct ItemEntry {
    const char* identifier;
    const char* action;
    const char* themeIcon;
};

// The items in their allowed order, with the action each asks for.
constexpr ItemEntry kItems[] = {
    {"DocTBOpen", "openDocument:", "document-open"},
    {"DocTBReRecover", "PerformRetryRecovery:", "view-refresh"},
    {"DocTBPreferences", "PerformPreferences:", "preferences-system"},
    {"DocTBAbort", "PerformAbortAction:", "process-stop"},
    {"DocTBAddFiles", "PerformAddFile:", "list-add"},
    {"DocTBRemove", "PerformParRemove:", "list-remove"},
    {"DocTBSaveAs", "saveDocumentAs:", "document-save-as"},
    {"DocTBCreate", "saveDocument:", "document-save"},
};

const ItemEntry* findItem(const QString& identifier) {
    for (const ItemEntry& item : kItems) {
        if (identifier == QLatin1String(item.identifier))
            return &item;
    }
    return nullptr;
}

} // namespace

DocToolbarDelegate* DocToolbarDelegate::CreateDocToolbarDelegate(QToolBar* toolbar, int parType,
                                                                 bool newSet) {
    return new DocToolbarDelegate(toolbar, parType, nullptr, newSet);
}

DocToolbarDelegate::DocToolbarDelegate(QToolBar* toolbar, int parType, StringLookup lookup,
                                       bool newSet)
    : QObject(toolbar), m_toolbar(toolbar), m_ParType(parType), m_newSet(newSet),
      m_saveKey(newSet ? kNewSetToolbarIdentifier : kToolbarIdentifier),
      m_lookup(lookup ? std::move(lookup) : StringLookup(&StringTables::localized)) {
    m_Items.reserve(20);
    m_toolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_toolbar, &QWidget::customContextMenuRequested, this,
            &DocToolbarDelegate::showCustomizeMenu);
    m_identifiers = savedIdentifiers();
    rebuildToolbar();
}

QStringList DocToolbarDelegate::toolbarAllowedItemIdentifiers() {
    QStringList identifiers;
    for (const ItemEntry& item : kItems)
        identifiers.append(QLatin1String(item.identifier));
    return identifiers + QStringList{kSeparatorItem, kSpaceItem, kFlexibleSpaceItem};
}

QStringList DocToolbarDelegate::toolbarDefaultItemIdentifiers(bool newSet) {
    if (newSet)
        return {QStringLiteral("DocTBAddFiles"), QStringLiteral("DocTBRemove"),
                QStringLiteral("DocTBCreate"),   kSeparatorItem,
                QStringLiteral("DocTBOpen"),     QStringLiteral("DocTBPreferences"),
                QStringLiteral("DocTBAbort"),    kFlexibleSpaceItem};
    return {
        QStringLiteral("DocTBOpen"),        QStringLiteral("DocTBReRecover"), kSeparatorItem,
        QStringLiteral("DocTBPreferences"), QStringLiteral("DocTBAbort"),     kFlexibleSpaceItem};
}

QString DocToolbarDelegate::actionForItemIdentifier(const QString& identifier) {
    const ItemEntry* item = findItem(identifier);
    return item != nullptr ? QLatin1String(item->action) : QString();
}

QAction* DocToolbarDelegate::itemForItemIdentifier(const QString& identifier) {
    if (QAction* item = m_Items.value(identifier))
        return item;
    const ItemEntry* entry = findItem(identifier);
    if (entry == nullptr)
        return nullptr;
    auto* item = new QAction(lookupWithFallback(identifier), this);
    item->setObjectName(identifier);
    item->setToolTip(lookupWithFallback(identifier + QStringLiteral("Tip")));
    item->setIcon(WindowIcons::themed(QLatin1String(entry->themeIcon), identifier));
    const QString action = QLatin1String(entry->action);
    item->setData(action);
    connect(item, &QAction::triggered, this, [this, action] { emit actionTriggered(action); });
    m_Items.insert(identifier, item);
    return item;
}

// A key the table does not have comes back as itself; then the key followed by
// the set's PAR version is tried ("DocTBOpen2").
QString DocToolbarDelegate::lookupWithFallback(const QString& key) const {
    const QString text = m_lookup(key);
    if (text.compare(key, Qt::CaseInsensitive) != 0)
        return text;
    return m_lookup(key + QString::number(m_ParType));
}

bool DocToolbarDelegate::isSpacer(const QString& identifier) {
    return identifier == kSeparatorItem || identifier == kSpaceItem ||
           identifier == kFlexibleSpaceItem;
}

QStringList DocToolbarDelegate::savedIdentifiers() const {
    if (!Preferences::contains(m_saveKey))
        return toolbarDefaultItemIdentifiers(m_newSet);
    const QStringList allowed = toolbarAllowedItemIdentifiers();
    QStringList identifiers;
    for (const QString& identifier :
         Preferences::stringForKey(m_saveKey).split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (allowed.contains(identifier) &&
            (isSpacer(identifier) || !identifiers.contains(identifier)))
            identifiers.append(identifier);
    return identifiers;
}

void DocToolbarDelegate::setItemIdentifiers(const QStringList& identifiers) {
    m_identifiers = identifiers;
    Preferences::setString(m_saveKey, identifiers.join(QLatin1Char(',')));
    rebuildToolbar();
}

void DocToolbarDelegate::setItemShown(const QString& identifier, bool shown) {
    QStringList identifiers = m_identifiers;
    identifiers.removeAll(identifier);
    if (shown) {
        const QStringList allowed = toolbarAllowedItemIdentifiers();
        const qsizetype rank = allowed.indexOf(identifier);
        qsizetype position = 0;
        for (qsizetype i = 0; i < identifiers.size(); ++i) {
            if (!isSpacer(identifiers[i]) && allowed.indexOf(identifiers[i]) < rank)
                position = i + 1;
        }
        identifiers.insert(position, identifier);
    }
    setItemIdentifiers(identifiers);
}

void DocToolbarDelegate::rebuildToolbar() {
    m_toolbar->clear();
    qDeleteAll(std::exchange(m_spacers, {}));
    for (const QString& identifier : m_identifiers) {
        if (isSpacer(identifier))
            addSpacer(identifier);
        else if (QAction* item = itemForItemIdentifier(identifier))
            m_toolbar->addAction(item);
    }
}

void DocToolbarDelegate::addSpacer(const QString& identifier) {
    if (identifier == kSeparatorItem) {
        m_spacers.append(m_toolbar->addSeparator());
        return;
    }
    auto* space = new QWidget;
    if (identifier == kFlexibleSpaceItem)
        space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    else
        space->setFixedWidth(16);
    m_spacers.append(m_toolbar->addWidget(space));
}

void DocToolbarDelegate::showCustomizeMenu(const QPoint& position) {
    QMenu menu(m_toolbar);
    for (const QString& identifier : toolbarAllowedItemIdentifiers()) {
        if (isSpacer(identifier))
            continue;
        QAction* choice = menu.addAction(itemForItemIdentifier(identifier)->text());
        choice->setCheckable(true);
        choice->setChecked(m_identifiers.contains(identifier));
        connect(choice, &QAction::toggled, this,
                [this, identifier](bool shown) { setItemShown(identifier, shown); });
    }
    menu.addSeparator();
    menu.addAction(m_lookup(QStringLiteral("ToolbarRestoreDefault")), this,
                   [this] { setItemIdentifiers(toolbarDefaultItemIdentifiers(m_newSet)); });
    menu.exec(m_toolbar->mapToGlobal(position));
}
