#include "EventLoopWait.h"
#include "WindowTestSupport.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/MessageBoxAlertPresenter.h"
#include "window/DocToolbarDelegate.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QMessageBox>
#include <QProxyStyle>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {

QStringList shownItems(QToolBar* toolbar) {
    QStringList names;
    for (QAction* action : toolbar->actions()) {
        if (!action->objectName().isEmpty())
            names.append(action->objectName());
    }
    return names;
}

TEST(DocToolbarDelegateTest, LabelsFallBackToTheKeyWithTheParVersion) {
    const QHash<QString, QString> table = {{"DocTBOpen", "Open"},
                                           {"DocTBAbort2", "Stop PAR 2"},
                                           {"DocTBAbortTip2", "Stops the PAR 2 helper"},
                                           {"DocTBRemove", "doctbremove"},
                                           {"DocTBRemove2", "Remove Files"}};
    QToolBar toolbar;
    DocToolbarDelegate delegate(&toolbar, 2,
                                [&](const QString& key) { return table.value(key, key); });
    QAction* abort = delegate.itemForItemIdentifier(QStringLiteral("DocTBAbort"));
    ASSERT_NE(abort, nullptr);
    EXPECT_EQ(abort->text(), "Stop PAR 2");
    EXPECT_EQ(abort->toolTip(), "Stops the PAR 2 helper");
    EXPECT_EQ(abort->data().toString(), "PerformAbortAction:");
    EXPECT_EQ(delegate.itemForItemIdentifier(QStringLiteral("DocTBOpen"))->text(), "Open");
    // A text that only differs from its key in case counts as missing.
    EXPECT_EQ(delegate.itemForItemIdentifier(QStringLiteral("DocTBRemove"))->text(),
              "Remove Files");
    EXPECT_EQ(delegate.itemForItemIdentifier(QStringLiteral("DocTBAbort")), abort);
    EXPECT_EQ(delegate.itemForItemIdentifier(DocToolbarDelegate::kSeparatorItem), nullptr);
}

TEST(DocToolbarDelegateTest, ShownItemsTakeTheirPlaceAndAreSaved) {
    Preferences::remove(DocToolbarDelegate::kToolbarIdentifier);
    QToolBar toolbar;
    DocToolbarDelegate delegate(&toolbar, 2);
    EXPECT_EQ(shownItems(&toolbar),
              QStringList({"DocTBOpen", "DocTBReRecover", "DocTBPreferences", "DocTBAbort"}));
    delegate.setItemShown(QStringLiteral("DocTBSaveAs"), true);
    delegate.setItemShown(QStringLiteral("DocTBAddFiles"), true);
    delegate.setItemShown(QStringLiteral("DocTBOpen"), false);
    const QStringList expected = {"DocTBReRecover",   "SeparatorItem", "DocTBPreferences",
                                  "DocTBAbort",       "DocTBAddFiles", "DocTBSaveAs",
                                  "FlexibleSpaceItem"};
    EXPECT_EQ(delegate.itemIdentifiers(), expected);

    QToolBar another;
    EXPECT_EQ(DocToolbarDelegate(&another, 1).itemIdentifiers(), expected);
    Preferences::remove(DocToolbarDelegate::kToolbarIdentifier);
}

class WindowControllerTest : public WindowTest {};

TEST_F(WindowControllerTest, ItemsFollowTheDocumentAndTheirReceivers) {
    open();
    DocToolbarDelegate* delegate = velmora()->toolbarDelegate();
    QAction* abort = delegate->itemForItemIdentifier(QStringLiteral("DocTBAbort"));
    QAction* preferences = delegate->itemForItemIdentifier(QStringLiteral("DocTBPreferences"));
    QAction* addFiles = delegate->itemForItemIdentifier(QStringLiteral("DocTBAddFiles"));
    controller->validateToolbarItems();
    EXPECT_FALSE(abort->isEnabled());
    EXPECT_FALSE(preferences->isEnabled());
    EXPECT_TRUE(addFiles->isEnabled());

    int requests = 0;
    QObject::connect(controller, &ParWindowController::preferencesRequested, [&] { ++requests; });
    controller->validateToolbarItems();
    EXPECT_TRUE(preferences->isEnabled());
    preferences->trigger();
    EXPECT_EQ(requests, 1);

    document->setm_PARIsRunning(RunKind::VerifyRepair);
    EXPECT_TRUE(abort->isEnabled());
    EXPECT_FALSE(addFiles->isEnabled());
    document->setm_PARIsRunning(RunKind::None);
}

TEST_F(WindowControllerTest, RemoveTakesTheSelectedFilesOutOfTheSet) {
    open();
    document->showFiles(
        filesWithStatus({{"a", FileCode::ToBeProtected}, {"b", FileCode::ToBeProtected}}));
    QAction* remove = velmora()->toolbarDelegate()->itemForItemIdentifier("DocTBRemove");
    controller->validateToolbarItems();
    EXPECT_FALSE(remove->isEnabled());

    table()->selectRow(0);
    EXPECT_TRUE(remove->isEnabled());
    remove->trigger();
    EXPECT_EQ(document->fileStatusSnapshot().keys(), QStringList({"b"}));
    EXPECT_EQ(model()->rowCount(), 1);
    EXPECT_EQ(velmora()->NumSelectedFiles(), 0);
}

TEST_F(WindowControllerTest, FrameAndFileColumnWidthAreSavedAndRestored) {
    Preferences::remove(PrefKey::DocWindowFrameSize);
    Preferences::remove(PrefKey::FileColumnWidth);
    open();
    window()->resize(820, 560);
    table()->horizontalHeader()->resizeSection(FileTableModel::FileColumn, 211);
    EXPECT_TRUE(spinUntil([] { return Preferences::contains(PrefKey::FileColumnWidth); }));
    EXPECT_EQ(Preferences::floatForKey(PrefKey::FileColumnWidth), 211.0);
    EXPECT_TRUE(Preferences::contains(PrefKey::DocWindowFrameSize));
    delete std::exchange(controller, nullptr);

    open();
    EXPECT_EQ(window()->size(), QSize(820, 560));
    EXPECT_EQ(table()->columnWidth(FileTableModel::FileColumn), 211);
    Preferences::remove(PrefKey::DocWindowFrameSize);
    Preferences::remove(PrefKey::FileColumnWidth);
}

} // namespace

namespace {

// A theme that marks dialog buttons with icons, as several desktops do.
class IconButtonsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// Shows the alert, notes which of its buttons carry an icon and clicks the one named.
QStringList buttonsWithIcons(const AlertRequest& request, const QString& clicked, int* answer) {
    QStringList withIcons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        for (QAbstractButton* button : box->buttons()) {
            if (!button->icon().isNull())
                withIcons.append(button->text());
        }
        for (QAbstractButton* button : box->buttons())
            if (button->text() == clicked)
                button->click();
    });
    *answer = MessageBoxAlertPresenter().runModal(request);
    return withIcons;
}

} // namespace

// Alert buttons take their roles from their places. A default "Cancel" must not
// wear the theme's OK mark, nor "Proceed" its cancel mark.
TEST(AlertButtonsTest, OnlyAPlainOkWearsTheThemesIcon) {
    const QString usualStyle = QApplication::style()->name();
    QApplication::setStyle(new IconButtonsStyle);
    int answer = 0;
    const AlertRequest question{AlertSeverity::Plain,          QString(),
                                QStringLiteral("Many files."), QStringLiteral("Cancel"),
                                QStringLiteral("Proceed"),     QStringLiteral("Always Proceed")};
    EXPECT_EQ(buttonsWithIcons(question, QStringLiteral("Proceed"), &answer), QStringList());
    EXPECT_EQ(answer, kAlertAlternateReturn);
    const AlertRequest notice{AlertSeverity::Plain, QString(), QStringLiteral("Done."), {}, {}, {}};
    EXPECT_EQ(buttonsWithIcons(notice, QStringLiteral("OK"), &answer).size(), 1);
    EXPECT_EQ(answer, kAlertDefaultReturn);
    QApplication::setStyle(usualStyle);
}
