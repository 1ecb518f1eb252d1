#include "ExtractionWithWidgets.h"
#include "TestEnvironment.h"
#include "UnrarTestSupport.h"
#include "unrar/ui/UnrarProgressWindow.h"
#include "window/ParWindow.h"
#include "window/VelmoraController.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Outside a running event loop deleteLater needs a push.
bool windowGoes(const QPointer<UnrarProgressWindow>& window) {
    return spinUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    });
}

} // namespace

TEST(ProgressWindow, CancelStopsALargeExtractionAndTheWindowGoes) {
    // Large enough to be still running after its first progress event.
    const QString archive = makeFixtures(QStringLiteral("make-rar-large"), {"64", "16"}) +
                            QStringLiteral("/large.part1.rar");
    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(archive, TestEnvironment::makeFolder("canceled"));
    QPointer<UnrarProgressWindow> window = visibleTopLevel<UnrarProgressWindow>();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("large.part1.rar"));
    EXPECT_EQ(window->progressionBar()->maximum(), 0) << "indeterminate while waiting";

    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(spinUntil([&] { return !window->currentFileText().isEmpty(); }));
    EXPECT_GT(window->progressionBar()->maximum(), 0) << "determinate once progress arrives";
    EXPECT_TRUE(window->currentFileText().endsWith(QStringLiteral(" - random.bin")));

    window->cancelButton()->click();
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.result.outcome, UnrarOutcome::Canceled);
    EXPECT_EQ(run.succeeded, 0);
    EXPECT_TRUE(run.result.outputPath.isEmpty());
    EXPECT_TRUE(run.notices.isEmpty()) << "a canceled run is not reported";
    EXPECT_TRUE(windowGoes(window));
}

// The controller ends inside the click and the delegate destroys it, and with
// it the view, while the window is still handling that click.
TEST(ProgressWindow, CancelWhileWaitingEndsAtOnceBesideTheActiveWindow) {
    QWidget documentWindow;
    documentWindow.setGeometry(100, 120, 300, 200);
    documentWindow.show();
    documentWindow.activateWindow();
    ASSERT_TRUE(spinUntil([&] { return QApplication::activeWindow() == &documentWindow; }));

    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(TestEnvironment::root() + "/waiting.rar", QString());
    QPointer<UnrarProgressWindow> window = visibleTopLevel<UnrarProgressWindow>();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->frameGeometry().topLeft(),
              documentWindow.frameGeometry().topLeft() + QPoint(20, 20));

    std::weak_ptr<UnrarProgressionController> controller = run.controller;
    window->cancelButton()->click();
    EXPECT_EQ(run.finished, 1);
    EXPECT_EQ(run.result.outcome, UnrarOutcome::Canceled);
    EXPECT_TRUE(controller.expired());
    ASSERT_TRUE(window) << "deleted while its own click was being handled";
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(windowGoes(window));
}

TEST(ProgressWindow, SheetOnTheDocumentWindowUntilTheExtractionEnds) {
    const QString fixtures = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString output = TestEnvironment::makeFolder(QStringLiteral("sheet"));
    ParWindow documentWindow;
    VelmoraController velmora(&documentWindow);
    documentWindow.show();

    ExtractionWithWidgets canceled;
    canceled.controller->setupForParDocument(&velmora, fixtures + "/film.rar", output);
    QPointer<UnrarProgressWindow> sheet = documentWindow.findChild<UnrarProgressWindow*>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    // Escape asks for the cancel and leaves the closing to the controller.
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_EQ(canceled.result.outcome, UnrarOutcome::Canceled);
    EXPECT_TRUE(windowGoes(sheet));

    ExtractionWithWidgets run;
    run.controller->setupForParDocument(&velmora, fixtures + "/film.rar", output);
    sheet = documentWindow.findChild<UnrarProgressWindow*>();
    ASSERT_TRUE(sheet);
    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.result.outcome, UnrarOutcome::Finished);
    EXPECT_EQ(readFile(output + "/film/a.mkv"), readFile(fixtures + "/src-film/film/a.mkv"));
    EXPECT_TRUE(windowGoes(sheet));
}
