#include "DocumentTestSupport.h"
#include "EventLoopWait.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Three documents whose helper runs until the test creates its "go" file.
class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = TestEnvironment::makeFolder(QStringLiteral("scheduler"));
        qputenv("VELMORA_HELPERS_DIR", QFile::encodeName(m_folder));
        ASSERT_TRUE(
            writeExecutable(m_folder + QStringLiteral("/waiter"),
                            "#!/bin/sh\nwhile [ ! -f \"$1\" ]; do sleep 0.02; done\necho done\n"));
        QFile(m_folder + QStringLiteral("/set.par2")).open(QIODevice::WriteOnly);
        for (int i = 0; i < 3; ++i)
            m_documents.append(makeDocument(i));
    }
    // Every document ends its run and nobody is left waiting, so nothing of this
    // test runs on after it.
    void TearDown() override {
        for (int i = 0; i < 3; ++i)
            release(i);
        spinUntil([&] {
            return std::all_of(m_documents.begin(), m_documents.end(), [](const auto& document) {
                return document->isClosed() ||
                       (!document->isWaitingForExclusiveProcessing() && !document->isProcessing() &&
                        !document->hasLiveReaders());
            });
        });
        QCoreApplication::processEvents();
        Preferences::remove(PrefKey::SimultaneousProcessing);
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    std::shared_ptr<RecordingDocument> makeDocument(int index) {
        const QString go = m_folder + QStringLiteral("/go%1").arg(index);
        auto document =
            std::make_shared<RecordingDocument>(QStringLiteral("waiter"), QStringList{go});
        m_controller.addDocument(document);
        document->readFromFile(m_folder + QStringLiteral("/set.par2"), QStringLiteral("PAR2 File"));
        return document;
    }

    void release(int index) {
        QFile(m_folder + QStringLiteral("/go%1").arg(index)).open(QIODevice::WriteOnly);
    }

    QList<bool> running() const {
        QList<bool> states;
        for (const auto& document : m_documents)
            states.append(document->isProcessing());
        return states;
    }

    void requestAll() {
        for (const auto& document : m_documents)
            document->ProcessRepairCurrentFile();
    }

    QString m_folder;
    PARDocumentController m_controller;
    QList<std::shared_ptr<RecordingDocument>> m_documents;
};

} // namespace

TEST_F(SchedulerTest, OneAtATimeInDocumentListOrder) {
    requestAll();
    EXPECT_EQ(running(), QList<bool>({true, false, false}));
    EXPECT_EQ(m_controller.numWaitingDocuments(), 2u);
    release(2);
    release(0);
    ASSERT_TRUE(spinUntil([&] { return running() == QList<bool>({false, true, false}); }));
    EXPECT_EQ(m_documents[2]->m_DocumentStatus(), DocStatus::WaitingForTurn);
    release(1);
    ASSERT_TRUE(spinUntil([&] { return m_documents[2]->m_PARHasRepaired(); }));
    EXPECT_EQ(m_controller.numWaitingDocuments(), 0u);
}

TEST_F(SchedulerTest, SimultaneousProcessingStartsEveryone) {
    Preferences::setBool(PrefKey::SimultaneousProcessing, true);
    requestAll();
    EXPECT_EQ(running(), QList<bool>({true, true, true}));
}

TEST_F(SchedulerTest, AClosedWaitingDocumentIsSkipped) {
    requestAll();
    m_documents[1]->close();
    release(0);
    ASSERT_TRUE(spinUntil([&] { return running() == QList<bool>({false, false, true}); }));
    EXPECT_FALSE(m_documents[1]->m_PARHasRepaired());
}

TEST_F(SchedulerTest, AFailedLaunchPassesTheTurnOn) {
    ScriptedAlertPresenter alerts;
    for (const auto& document : m_documents)
        m_controller.removeDocument(document.get());
    m_documents[1] = std::make_shared<RecordingDocument>(QStringLiteral("no-such-helper"));
    for (const auto& document : m_documents)
        m_controller.addDocument(document);
    m_documents[1]->readFromFile(m_folder + QStringLiteral("/set.par2"),
                                 QStringLiteral("PAR2 File"));
    requestAll();
    release(0);
    ASSERT_TRUE(spinUntil([&] { return running() == QList<bool>({false, false, true}); }));
    EXPECT_TRUE(spinUntil([&] { return m_documents[1]->isClosed(); }));
    EXPECT_EQ(alerts.shown.size(), 1);
}

// The folder is listed for the command line before the helper starts; a
// document closed meanwhile starts nothing and hands the turn on.
TEST_F(SchedulerTest, ADocumentClosedAsItsRunStartsHandsTheTurnOn) {
    requestAll();
    m_documents[0]->close();
    ASSERT_TRUE(spinUntil([&] { return running() == QList<bool>({false, true, false}); }));
    EXPECT_EQ(m_documents[0]->m_PARIsRunning(), RunKind::None);
}

TEST_F(SchedulerTest, ARunningDocumentRefusesToCloseAndClosesLaterWithoutBlocking) {
    requestAll();
    ASSERT_TRUE(spinUntil([&] { return m_documents[0]->m_PARIsRunning() != RunKind::None; }));
    EXPECT_FALSE(m_documents[0]->canClose());
    release(0);
    ASSERT_TRUE(spinUntil([&] { return m_documents[0]->m_PARHasRepaired(); }));
    m_documents[0]->closeWhenReadersExit();
    EXPECT_TRUE(spinUntil([&] { return m_documents[0]->isClosed(); }));
}
