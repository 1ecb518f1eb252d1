#include "window/OutputDrawer.h"

#include "EventLoopWait.h"
#include "Localized.h"
#include "WindowTestSupport.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>

namespace {

class OutputDrawerTest : public WindowTest {
protected:
    void SetUp() override { open(); }
    OutputDrawer* drawer() const { return window()->drawer(); }
};

TEST_F(OutputDrawerTest, OpensBesideTheTableAndNamesTheNextStepOnItsButton) {
    QPushButton* button = window()->outputButton();
    window()->resize(800, 500);
    const int windowWidth = window()->width();
    EXPECT_FALSE(velmora()->IsDrawerOpen());
    EXPECT_EQ(button->text(), localized("MenuTextShowParOutput"));

    button->click();
    EXPECT_TRUE(velmora()->IsDrawerOpen());
    EXPECT_EQ(button->text(), localized("MenuTextHideParOutput"));
    EXPECT_EQ(window()->width(), windowWidth + VelmoraController::kFirstDrawerWidth +
                                     VelmoraController::kDrawerFrameWidth);
    EXPECT_TRUE(spinUntil(
        [&] { return qAbs(drawer()->width() - VelmoraController::kFirstDrawerWidth) < 12; }, 2000))
        << drawer()->width();
    // The frame saved while the drawer is open is the one without it.
    velmora()->saveLayoutNow();
    QWidget probe;
    probe.restoreGeometry(
        QByteArray::fromBase64(Preferences::stringForKey(PrefKey::DocWindowFrameSize).toLatin1()));
    EXPECT_EQ(probe.width(), windowWidth);

    drawer()->close();
    EXPECT_FALSE(velmora()->IsDrawerOpen());
    EXPECT_EQ(window()->width(), windowWidth);
    EXPECT_EQ(button->text(), localized("MenuTextShowParOutput"));
}

TEST_F(OutputDrawerTest, AppendedTextReachesTheViewInFewBatches) {
    velmora()->ToggleDrawer();
    int viewChanges = 0;
    QObject::connect(drawer()->view()->document(), &QTextDocument::contentsChanged,
                     [&] { ++viewChanges; });
    QString expected;
    for (int line = 0; line < 2000; ++line) {
        const QString text = QStringLiteral("Loading: %1.0%\n").arg(line);
        velmora()->ParOutputAppended(document.get(), text);
        expected += text;
    }
    EXPECT_EQ(drawer()->shownText(), "");
    EXPECT_TRUE(spinUntil([&] { return drawer()->shownText() == expected; }));
    EXPECT_LE(viewChanges, 2);
    QScrollBar* scrollBar = drawer()->view()->verticalScrollBar();
    EXPECT_EQ(scrollBar->value(), scrollBar->maximum());
}

TEST_F(OutputDrawerTest, WholeTextReplacesOrExtendsWhatIsShown) {
    velmora()->ParOutputChanged(document.get(), QStringLiteral("first run\n"));
    velmora()->ParOutputChanged(document.get(), QStringLiteral("first run\nmore\n"));
    EXPECT_EQ(drawer()->text(), "first run\nmore\n");
    // The text waits while the drawer is closed and is there when it opens.
    EXPECT_EQ(drawer()->shownText(), "");
    velmora()->ToggleDrawer();
    EXPECT_EQ(drawer()->shownText(), "first run\nmore\n");

    velmora()->ParOutputChanged(document.get(), QStringLiteral("second run\n"));
    EXPECT_TRUE(spinUntil([&] { return drawer()->shownText() == "second run\n"; }));
}

} // namespace
