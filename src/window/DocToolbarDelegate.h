#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QToolBar;

// Fills the document window's toolbar from a fixed table of item identifiers
// and the actions they ask for. Items are made once and reused. The user picks
// the items from the toolbar's context menu; the choice is saved under the
// toolbar's identifier. Triggered items are reported by their action name,
// for the window controller to route.
class DocToolbarDelegate : public QObject {
    Q_OBJECT

public:
    using StringLookup = std::function<QString(const QString&)>;

    static inline const QString kToolbarIdentifier = QStringLiteral("VelmoraDocToolbar3");
    // The toolbar of a window in which a new set is built; saved on its own.
    static inline const QString kNewSetToolbarIdentifier = QStringLiteral("VelmoraNewSetToolbar");
    static inline const QString kSeparatorItem = QStringLiteral("SeparatorItem");
    static inline const QString kSpaceItem = QStringLiteral("SpaceItem");
    static inline const QString kFlexibleSpaceItem = QStringLiteral("FlexibleSpaceItem");

    static DocToolbarDelegate* CreateDocToolbarDelegate(QToolBar* toolbar, int parType,
                                                        bool newSet = false);
    // Texts come from the lookup (the "Localizable" table by default). A new
    // set's window offers the commands that build the set.
    DocToolbarDelegate(QToolBar* toolbar, int parType, StringLookup lookup = nullptr,
                       bool newSet = false);

    static QStringList toolbarAllowedItemIdentifiers();
    static QStringList toolbarDefaultItemIdentifiers(bool newSet = false);
    // The action an item asks for ("PerformAbortAction:"); empty for others.
    static QString actionForItemIdentifier(const QString& identifier);

    // The item for an identifier: null for spacers and unknown identifiers.
    QAction* itemForItemIdentifier(const QString& identifier);
    QList<QAction*> items() const { return m_Items.values(); }

    // The toolbar's items, in order, and changing them (the change is saved).
    QStringList itemIdentifiers() const { return m_identifiers; }
    void setItemIdentifiers(const QStringList& identifiers);
    // Shows or hides one item; a shown item takes its place in the allowed order.
    void setItemShown(const QString& identifier, bool shown);

signals:
    void actionTriggered(const QString& action);

private:
    QString lookupWithFallback(const QString& key) const;
    static bool isSpacer(const QString& identifier);
    QStringList savedIdentifiers() const;
    void rebuildToolbar();
    void addSpacer(const QString& identifier);
    void showCustomizeMenu(const QPoint& position);

    QHash<QString, QAction*> m_Items;
    QToolBar* m_toolbar;
    int m_ParType;
    bool m_newSet;
    QString m_saveKey;
    StringLookup m_lookup;
    QStringList m_identifiers;
    QList<QAction*> m_spacers;
};
