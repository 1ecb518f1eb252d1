#include "DocumentTestSupport.h"
#include "EventLoopWait.h"
#include "RunCommand.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/PARDocumentController.h"
#include "document/HelperArgumentBudget.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Scripted helpers written for these tests, in a private helpers folder.
class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_helpers = TestEnvironment::makeFolder(QStringLiteral("helpers"));
        m_set = TestEnvironment::makeFolder(QStringLiteral("set"));
        qputenv("VELMORA_HELPERS_DIR", QFile::encodeName(m_helpers));
        QFile main(m_set + QStringLiteral("/set.par2"));
        ASSERT_TRUE(main.open(QIODevice::WriteOnly));
    }
    // Lets every run of this test end, so nothing it queued reaches the next test.
    void TearDown() override {
        for (const auto& document : m_opened)
            runEnded(document);
        QCoreApplication::processEvents();
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    void writeHelper(const QString& name, const QByteArray& body) {
        ASSERT_TRUE(writeExecutable(m_helpers + QLatin1Char('/') + name, "#!/bin/sh\n" + body));
    }

    std::shared_ptr<RecordingDocument> openDocument(const QString& tool, QStringList arguments = {},
                                                    OutputPipe mainPipe = OutputPipe::StdOut) {
        auto document = std::make_shared<RecordingDocument>(tool, arguments, mainPipe);
        m_controller.addDocument(document);
        document->readFromFile(m_set + QStringLiteral("/set.par2"), QStringLiteral("PAR2 File"));
        document->setParController(&m_window);
        m_opened.append(document);
        return document;
    }

    // The run is over and both readers are gone.
    static bool runEnded(const std::shared_ptr<RecordingDocument>& document) {
        return spinUntil([&] { return !document->isProcessing() && !document->hasLiveReaders(); });
    }

    QString m_helpers, m_set;
    QList<std::shared_ptr<RecordingDocument>> m_opened;
    PARDocumentController m_controller;
    RecordingWindow m_window;
};

} // namespace

TEST_F(RunnerTest, ChunksReachTheHooksWholeAndTheMainPipeEndsTheRun) {
    // A line split across writes, a character split between its two bytes, both pipes.
    writeHelper(QStringLiteral("chunky"),
                "printf 'Loading' ; sleep 0.05 ; printf ' done\\nna\\303' ; sleep 0.05\n"
                "printf '\\257ve\\n' ; printf 'warn\\n' >&2 ; exit 3\n");
    auto document = openDocument(QStringLiteral("chunky"));
    document->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(document));
    EXPECT_EQ(document->record().stdOutText, QStringLiteral("Loading done\nnaïve\n"));
    EXPECT_EQ(document->ParOutput(), QStringLiteral("Loading done\nnaïve\n\n"));
    EXPECT_EQ(document->record().finishedOnThread, QStringLiteral("StdOutThread"));
    EXPECT_EQ(document->record().exitStatus, 3);
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::HelperErrors);
    EXPECT_TRUE(document->m_PARHasRepaired());
    EXPECT_EQ(document->record().stdErrText, QStringLiteral("warn\n"));
    // The window saw the whole text before the closing line feed was added.
    EXPECT_TRUE(spinUntil([&] { return m_window.shownOutput + "\n" == document->ParOutput(); }));
    EXPECT_TRUE(m_window.statuses.contains(DocStatus::WaitingForTurn));
    EXPECT_TRUE(m_window.statuses.contains(DocStatus::Verifying));
    EXPECT_EQ(m_window.lastProgress, 100);
    EXPECT_TRUE(spinUntil([&] { return m_window.closeButtonEnabled; }));
    EXPECT_FALSE(m_window.calledOffMainThread);
}

TEST_F(RunnerTest, ARunOnStandardErrorEndsWhenStandardErrorEnds) {
    writeHelper(QStringLiteral("par"), "echo ignored ; echo 'x - OK' >&2\n");
    auto document = openDocument(QStringLiteral("par"), {}, OutputPipe::StdErr);
    document->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(document));
    EXPECT_EQ(document->record().finishedOnThread, QStringLiteral("StdErrThread"));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::AllIntact);
}

TEST_F(RunnerTest, TheHelperGetsItsFolderEnvironmentAndPriority) {
    writeHelper(QStringLiteral("env"),
                "echo \"$VLML_FILENAME_ENCODING|$PAR2_FILES_CONSIDERED_OK|$(pwd)|$(nice)\"\n"
                "echo 'intact:a.bin' ; echo 'intact:b c.bin'\n");
    auto document = openDocument(QStringLiteral("env"));
    document->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(document));
    EXPECT_TRUE(document->record().stdOutText.startsWith(QStringLiteral("5||%1|19\n").arg(m_set)));

    // The next run passes the files this one found intact, each behind a tab.
    document->clearStdOut();
    document->PerformRetryRecovery();
    ASSERT_TRUE(runEnded(document));
    EXPECT_TRUE(document->record().stdOutText.startsWith(QStringLiteral("5|a.bin\tb c.bin\t|")));
}

TEST(HelperArgumentBudgetTest, CountsEncodedBytesPointersAndTheMargin) {
    constexpr qint64 pointer = sizeof(char*);
    EXPECT_EQ(HelperArgumentBudget::bytesFor({"ab", "c"}), 3 * pointer + 3 + 2);
    EXPECT_EQ(HelperArgumentBudget::bytesFor({QStringLiteral("é")}), 2 * pointer + 3);
    // The program's path goes twice: as the file to run and as argv[0].
    const qint64 needed = 3 + (3 * pointer + 3 + 2) + (2 * pointer + 4);
    const auto fitsIn = [](qint64 limit, const QStringList& environment) {
        return HelperArgumentBudget(limit + HelperArgumentBudget::kMargin, 1024)
            .fits("/h", {"a"}, environment);
    };
    EXPECT_TRUE(fitsIn(needed, {"E=1"}));
    EXPECT_FALSE(fitsIn(needed - 1, {"E=1"}));
    EXPECT_FALSE(fitsIn(needed, {"E=12"}));

    // One string past the kernel's cap for a single string never fits.
    const HelperArgumentBudget budget(1 << 20, 4);
    EXPECT_TRUE(budget.fitsString("abc"));
    EXPECT_FALSE(budget.fitsString("abcd"));
    EXPECT_FALSE(budget.fits("/h", {"a"}, {"ABCD"}));
    EXPECT_FALSE(budget.fits("/h", {"abcd"}, {}));
}

TEST_F(RunnerTest, AListPastTheSystemLimitLetsTheHelperScanTheFolderOrIsRefused) {
    const qint64 limit = HelperArgumentBudget::system().argumentLimit();
    if (limit > (qint64(64) << 20))
        GTEST_SKIP() << "no practical argument limit here";
    writeHelper(QStringLiteral("count"), "echo \"$# ${VLML_SCAN_FOLDER:-none}\"\n");
    ScriptedAlertPresenter alerts;
    auto document = openDocument(QStringLiteral("count"));
    // Past the old ceiling of 4096 arguments, well inside the system's.
    ASSERT_TRUE(
        document->RunPARTask(QStringList(5000, QStringLiteral("f")), RunKind::VerifyRepair));
    ASSERT_TRUE(runEnded(document));
    EXPECT_EQ(document->record().stdOutText, QStringLiteral("5000 none\n"));

    const QStringList tooMany(limit / 16,
                              QStringLiteral("file-%1.bin").arg(0, 5, 10, QLatin1Char('0')));
    document->clearStdOut();
    document->m_scanArguments = {"r", "--", "set.par2"};
    ASSERT_TRUE(document->RunPARTask(tooMany, RunKind::VerifyRepair));
    ASSERT_TRUE(runEnded(document));
    EXPECT_EQ(document->record().stdOutText, QStringLiteral("3 1\n"));
    EXPECT_TRUE(alerts.shown.isEmpty());

    // A creation run names its files; it cannot be shortened.
    EXPECT_FALSE(document->RunPARTask(tooMany, RunKind::Create));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
    EXPECT_TRUE(alerts.shown[0].message.contains(QStringLiteral("par2")));
    EXPECT_EQ(document->m_PARIsRunning(), RunKind::None);
}

TEST_F(RunnerTest, TheWindowIsSentOnlyTheRecordsThatChanged) {
    writeHelper(QStringLiteral("many"),
                "i=0; while [ $i -lt 300 ]; do echo intact:f$i; i=$((i+1)); done\n"
                "sleep 0.3; echo intact:late\n");
    auto document = openDocument(QStringLiteral("many"));
    document->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(document));
    EXPECT_TRUE(spinUntil([&] { return m_window.lastFiles == document->fileStatusSnapshot(); }));
    EXPECT_EQ(m_window.lastFiles.size(), 301);
    EXPECT_EQ(m_window.lastDeliverySize, 1);
}

TEST_F(RunnerTest, AbortEndsTheRunAsStoppedEvenWhenTheHelperIgnoresTheInterrupt) {
    const auto abortOnceStarted = [this](const QString& tool, const QByteArray& trap) {
        writeHelper(tool, trap + "\necho started\nwhile :; do sleep 0.05; done\n");
        auto document = openDocument(tool);
        document->windowControllerDidLoadNib();
        EXPECT_TRUE(
            spinUntil([&] { return m_window.shownOutput.contains(QStringLiteral("started")); }));
        document->PerformAbortAction();
        EXPECT_TRUE(runEnded(document));
        EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Aborted) << tool.toStdString();
        return document->record().exitStatus;
    };
    EXPECT_EQ(abortOnceStarted(QStringLiteral("polite"), "trap 'exit 130' INT"), 130);
    m_window.shownOutput.clear();
    EXPECT_EQ(abortOnceStarted(QStringLiteral("stubborn"), "trap '' INT"), 128 + SIGKILL);
}

TEST_F(RunnerTest, AMissingHelperIsReportedAndNothingKeepsRunning) {
    ScriptedAlertPresenter alerts;
    auto document = openDocument(QStringLiteral("absent"));
    document->windowControllerDidLoadNib();
    EXPECT_TRUE(spinUntil([&] { return document->isClosed(); }));
    EXPECT_EQ(document->m_PARIsRunning(), RunKind::None);
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Idle);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_TRUE(alerts.shown[0].message.contains(QStringLiteral("absent")));
}

TEST_F(RunnerTest, ARealPar2VerifyRunEndsAndHandsTheTurnOn) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    for (const char* name : {"a.bin", "b.bin"}) {
        QFile file(m_set + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(50000, name[0]));
    }
    QFile::remove(m_set + QStringLiteral("/set.par2"));
    ASSERT_EQ(runCommand(m_set, "par2", {"c", "-q", "-r10", "--", "set.par2", "a.bin", "b.bin"}),
              0);

    auto first = openDocument(QStringLiteral("par2SL"), {"r", "--", "set.par2"});
    auto second = openDocument(QStringLiteral("par2SL"), {"r", "--", "set.par2"});
    first->windowControllerDidLoadNib();
    second->windowControllerDidLoadNib();
    EXPECT_EQ(second->m_DocumentStatus(), DocStatus::WaitingForTurn);
    ASSERT_TRUE(spinUntil(
        [&] { return first->record().finishedOnThread == QStringLiteral("StdOutThread"); }));
    ASSERT_TRUE(runEnded(first));
    EXPECT_TRUE(first->m_PARHasRepaired());
    EXPECT_EQ(first->record().exitStatus, 0);
    EXPECT_TRUE(first->ParOutput().contains(QStringLiteral("All files are correct")));
    ASSERT_TRUE(spinUntil([&] { return second->m_PARHasRepaired(); }));
    EXPECT_EQ(second->m_DocumentStatus(), DocStatus::AllIntact);
}

TEST_F(RunnerTest, AHelperThatHangsIsStoppedButAQuietBusyOneIsNot) {
    Preferences::setProcessOverride(PrefKey::HelperStallSeconds, 1);
    // Busy without a word for three seconds of the clock, however starved it is.
    writeHelper(QStringLiteral("busy"),
                "exec bash -c 'while [ $SECONDS -lt 3 ]; do :; done; echo intact:a.bin'\n");
    auto busy = openDocument(QStringLiteral("busy"));
    busy->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(busy));
    EXPECT_EQ(busy->record().stdOutText, QStringLiteral("intact:a.bin\n"));
    EXPECT_NE(busy->m_DocumentStatus(), DocStatus::HelperStalled);

    // The child it leaves behind keeps the pipes open: the run must not wait for it.
    writeHelper(QStringLiteral("hung"), "echo started\nsleep 30 &\nexec sleep 30\n");
    auto hung = openDocument(QStringLiteral("hung"));
    QElapsedTimer clock;
    clock.start();
    hung->windowControllerDidLoadNib();
    ASSERT_TRUE(runEnded(hung));
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(hung->m_DocumentStatus(), DocStatus::HelperStalled);
    EXPECT_EQ(hung->record().exitStatus, 128 + SIGINT);
    Preferences::clearProcessOverrides();
}
