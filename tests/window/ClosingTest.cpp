#include "EventLoopWait.h"
#include "ScriptedAlertPresenter.h"
#include "WindowTestSupport.h"
#include "app/PARDocumentController.h"
#include "app/SessionClosing.h"
#include "document/DocumentTypes.h"
#include "document/StatusCodes.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// Windows of test documents that belong to the application's controller, as
// opened sets do.
class ClosingTest : public WindowTest {
protected:
    std::shared_ptr<WindowTestDocument> openSet(const QString& path) {
        open();
        shown = controller;
        document->readFromFile(path, DocumentTypes::Par2);
        sets.addDocument(document);
        controller->validateToolbarItems();
        return document;
    }
    std::shared_ptr<WindowTestDocument> newSetWithFiles() {
        open();
        shown = controller;
        document->setFileType(DocumentTypes::Par2);
        sets.addDocument(document);
        document->showFiles(filesWithStatus({{"a.mkv", FileCode::ToBeProtected}}));
        document->setm_DocumentStatus(DocStatus::ReadyToCreate);
        document->updateChangeCount(Document::ChangeKind::Done);
        return document;
    }
    // The last window goes once its document has closed; its controller deletes
    // itself later. A deletion asked for outside an event loop waits for one,
    // so the test delivers it.
    bool windowWent() {
        const bool gone = spinUntil([this] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return shown.isNull();
        });
        if (gone)
            controller = nullptr;
        return gone;
    }

    PARDocumentController sets;
    QPointer<ParWindowController> shown;
};

} // namespace

TEST_F(ClosingTest, ClosingARunningSetAsksAndStopsItFirst) {
    openSet(QStringLiteral("/tmp/holiday.par2"));
    document->setm_PARIsRunning(RunKind::VerifyRepair);
    {
        ScriptedAlertPresenter alerts({kAlertAlternateReturn});
        EXPECT_FALSE(window()->close());
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].title, "Stop verifying “holiday.par2” and close?");
        EXPECT_EQ(alerts.shown[0].defaultButton, "Stop and Close");
        EXPECT_EQ(alerts.shown[0].alternateButton, "Cancel");
    }
    EXPECT_TRUE(window()->isVisible());
    EXPECT_NE(document->m_DocumentStatus(), DocStatus::Aborted);

    ScriptedAlertPresenter alerts({kAlertDefaultReturn});
    window()->close();
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Aborted);
    EXPECT_FALSE(document->isClosed()) << "closes once the run is over";
    document->setm_PARIsRunning(RunKind::None);
    EXPECT_TRUE(spinUntil([&] { return document->isClosed(); }));
    EXPECT_TRUE(windowWent());
}

TEST_F(ClosingTest, AnUnsavedNewSetIsNeitherClosedNorReplacedSilently) {
    newSetWithFiles();
    sets.dismissStrayUntitledDoc();
    EXPECT_FALSE(document->isClosed()) << "opening another set keeps the files added";
    {
        ScriptedAlertPresenter alerts(
            {kAlertAlternateReturn, kAlertAlternateReturn, kAlertAlternateReturn});
        EXPECT_FALSE(window()->close());
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].title, "Do you want to save the new set “Untitled”?");
        EXPECT_EQ(alerts.shown[0].defaultButton, "Save…");
        EXPECT_EQ(alerts.shown[0].otherButton, "Don't Save");
        EXPECT_FALSE(SessionClosing(sets).closeAll());
        EXPECT_FALSE(SessionClosing(sets).quit([] {}));
        EXPECT_EQ(alerts.shown.size(), 3);
    }
    EXPECT_FALSE(document->isClosed());

    ScriptedAlertPresenter alerts({kAlertOtherReturn});
    EXPECT_TRUE(window()->close());
    EXPECT_TRUE(document->isClosed());
    EXPECT_TRUE(windowWent());
}

// A cancelled Quit leaves the line as it was; a confirmed one drops the waiting
// set at once and quits when the stopped run is over.
TEST_F(ClosingTest, QuitNamesTheWorkAndKeepsTheLineWhenCancelled) {
    const auto running = openSet(QStringLiteral("/tmp/a/first.par2"));
    running->setm_PARIsRunning(RunKind::VerifyRepair);
    auto waiting = std::make_shared<WindowTestDocument>();
    waiting->readFromFile(QStringLiteral("/tmp/a/second.par2"), DocumentTypes::Par2);
    waiting->setm_DocumentStatus(DocStatus::WaitingForTurn);
    sets.addDocument(waiting);
    SessionClosing closing(sets);
    int quits = 0;
    {
        ScriptedAlertPresenter alerts({kAlertAlternateReturn});
        EXPECT_FALSE(closing.quit([&] { ++quits; }));
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].title,
                  "1 set is still working and 1 set is waiting for its turn.");
        EXPECT_EQ(alerts.shown[0].defaultButton, "Stop and Quit");
    }
    EXPECT_TRUE(waiting->isWaitingForExclusiveProcessing());
    EXPECT_EQ(sets.documents().size(), 2);

    ScriptedAlertPresenter alerts({kAlertDefaultReturn});
    EXPECT_TRUE(closing.quit([&] { ++quits; }));
    EXPECT_TRUE(waiting->isClosed());
    EXPECT_EQ(running->m_DocumentStatus(), DocStatus::Aborted);
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(quits, 0) << "not before the stopped run is over";
    running->setm_PARIsRunning(RunKind::None);
    EXPECT_TRUE(spinUntil([&] { return quits == 1; }));
    EXPECT_TRUE(windowWent());
}

TEST_F(ClosingTest, SetsOfTheSameNameShowTheirFolderAndOpenApart) {
    const auto first = openSet(QStringLiteral("/tmp/a/holiday.par2"));
    ParWindowController* firstWindow = controller;
    const auto second = openSet(QStringLiteral("/tmp/b/holiday.par2"));
    firstWindow->validateToolbarItems();
    EXPECT_EQ(firstWindow->window()->windowTitle(), "holiday.par2 (PAR 2) — /tmp/a");
    EXPECT_EQ(window()->windowTitle(), "holiday.par2 (PAR 2) — /tmp/b");
    EXPECT_NE(firstWindow->window()->pos(), window()->pos());

    first->close();
    controller->validateToolbarItems();
    EXPECT_EQ(window()->windowTitle(), "holiday.par2 (PAR 2)");
    second->close();
    EXPECT_TRUE(windowWent());
}
