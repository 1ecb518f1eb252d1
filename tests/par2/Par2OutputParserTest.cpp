#include "par2/Par2OutputParser.h"

#include "LogCapture.h"
#include "Par2TestSupport.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class Par2OutputParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_model.m_DocumentStatus = DocStatus::Verifying;
        m_model.m_Progress = -1;
        m_parser.setFailureHandler(
            [this](const LineIterator& lines) { failedAtLine = lines.currentLine(); });
    }

    void feed(const QString& output) {
        for (const QString& write : writesOf(output))
            m_parser.ProcessStdOutData(write);
    }

    // Runs a recorded case and settles the final status in an empty folder.
    void replay(const QString& name) {
        const RecordedRun run = RecordedRun::load(name);
        feed(run.stdOut);
        if (!run.stdErr.isEmpty())
            m_parser.ProcessStdErrData(run.stdErr);
        m_model.m_ParMainOutput += QLatin1Char('\n');
        m_parser.DetermineFinalStatusAfterRecover(
            run.exitStatus, TestEnvironment::makeFolder(QStringLiteral("empty")));
    }

    int32_t status(const QString& name) const {
        return m_model.m_FileStatus.value(name).fileStatus();
    }

    Par2OutputModel m_model;
    Par2OutputParser m_parser{m_model};
    int32_t failedAtLine = 0;
};

} // namespace

TEST_F(Par2OutputParserTest, RecordedRunsSettleStatusCountersAndRecoveryFiles) {
    LogCapture log;
    replay(QStringLiteral("not-repairable"));
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::RepairImpossible);
    EXPECT_EQ(m_model.m_NumRecoverableFiles, 4);
    EXPECT_EQ(m_model.m_BlockSize, 1540);
    EXPECT_EQ(m_model.m_NumMissingBlocks, 11);
    EXPECT_EQ(m_model.m_FileStatus.value("f2.bin").associatedFilename(), "moved.bin");
    // Unrelated files ("no data found") leave no trace and are not logged.
    EXPECT_FALSE(m_model.m_PxxFileStatus.contains("junk.dat"));
    EXPECT_FALSE(log.contains(QStringLiteral("Unable to parse line")));
    EXPECT_EQ(m_model.m_PxxFileStatus.value("set.vol0+1.par2").numRecoveryBlocks(), 1);
    StatisticsRecord statistics;
    Par2OutputParser::CountStatistics(m_model.m_FileStatus, m_model, statistics);
    EXPECT_EQ(statistics.counters, (std::array<uint32_t, 8>{3, 0, 1, 0, 0, 4, 1540, 11}));

    m_model = Par2OutputModel();
    m_parser.resetForRun();
    // Rebuilt from data blocks found elsewhere: no recovery block used, yet repaired.
    replay(QStringLiteral("rebuilt-from-data"));
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::Repaired);
    EXPECT_EQ(status("f2.bin"), FileCode::Repaired);
    const FileStatus part = m_model.m_PxxFileStatus.value("part.bin");
    EXPECT_EQ(part.numRecoveryBlocks(), 7);
    EXPECT_EQ(part.associatedFilename(), "f1.bin");
    EXPECT_EQ(m_model.m_Progress, 100);

    m_model = Par2OutputModel();
    m_parser.resetForRun();
    replay(QStringLiteral("empty-volumes"));
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::AllIntact);
    EXPECT_EQ(m_model.m_EmptyPar2Files, QStringList({"set.par2", "copy.par2", "other.par2"}));
}

TEST_F(Par2OutputParserTest, ProgressComesFromCompleteLinesAndNeverGoesDown) {
    m_parser.ProcessStdOutData("Repairing: 10.0%\rRepairing: 50.5");
    EXPECT_EQ(m_model.m_Progress, 10);
    m_parser.ProcessStdOutData("%\r");
    EXPECT_EQ(m_model.m_Progress, 50);
    m_parser.ProcessStdOutData("Processing: 12.0%\nRepairing: 90.0% done\n");
    EXPECT_EQ(m_model.m_Progress, 50);
}

TEST_F(Par2OutputParserTest, TargetLinesMergeThroughTheGuard) {
    LogCapture log;
    feed("Target: \"say \"hi\".txt\" - empty.\n"
         "Target: \"a\" - damaged. Found 1 of 2 data blocks.\n"
         "Target: \"b\" - missing.\n"
         "Target: \"c\" - damaged.\n"
         "Target: \"d\" - odd.\nTarget: \"e\"\n"
         "Repair is possible.\n"
         "Target: \"a\" - found.\nTarget: \"b\" - found.\nTarget: \"a\" - damaged.\n");
    EXPECT_EQ(status("say \"hi\".txt"), FileCode::DamagedRecoverable);
    EXPECT_EQ(status("a"), FileCode::Repaired);
    EXPECT_EQ(status("b"), FileCode::Repaired);
    EXPECT_EQ(m_model.m_FileStatus.size(), 3 + 1);
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::Repairing);

    feed("Target: \"x\" - damaged.\nTarget: \"x\" - found.\n");
    EXPECT_EQ(status("x"), FileCode::Damaged);
    EXPECT_TRUE(log.contains("Unexpected file status transition from 2 to 1"));
}

TEST_F(Par2OutputParserTest, RecoveryFileLinesRecordBlocksAndEmptyFiles) {
    LogCapture log;
    feed("Loading \"a.par2\".\nLoaded 4 new packets\n"
         "Loading \"b.par2\".\nLoaded 3 new packets including 2 recovery blocks\n"
         "Loading \"c.par2\".\nLoaded 3 new packets including 2\n"
         "Loading \"d.par2\".\nNo new packets found\nNo new packets found\n"
         "Loading \"b.par2\".\nNo new packets found\n"
         "File: \"dup.bin\" - found 5 duplicate data blocks.\n"
         "File: \"x.bin\" - found 3 data blocks from \"t.bin\".\n"
         "File: \"y.bin\" - found 3 data blocks from \"t.bin\n"
         "File: \"z.bin\" - found 3\n"
         "File: \"w.bin\" - who knows\n");
    EXPECT_EQ(m_model.m_EmptyPar2Files, QStringList({"a.par2", "c.par2", "d.par2"}));
    EXPECT_EQ(m_model.m_PxxFileStatus.value("b.par2").numRecoveryBlocks(), 2);
    EXPECT_EQ(m_model.m_PxxFileStatus.value("dup.bin").numRecoveryBlocks(), -5);
    EXPECT_TRUE(m_model.m_PxxFileStatus.value("dup.bin").associatedFilename().isNull());
    EXPECT_EQ(m_model.m_PxxFileStatus.value("x.bin").associatedFilename(), "t.bin");
    EXPECT_FALSE(m_model.m_PxxFileStatus.contains("y.bin"));
    EXPECT_FALSE(m_model.m_PxxFileStatus.contains("z.bin"));
    EXPECT_TRUE(log.contains("Unable to parse line: File: \"z.bin\" - found 3"));
    EXPECT_TRUE(log.contains("Unable to parse line: File: \"w.bin\" - who knows"));
}

TEST_F(Par2OutputParserTest, StandardErrorMarksFilesUnrecoverableButSkipsNoise) {
    LogCapture log;
    feed("Target: \"a\" - damaged.\nTarget: \"b\" - missing.\n");
    m_parser.ProcessStdErrData("\n");
    m_parser.ProcessStdErrData("prog(12) malloc: freed twice\n");
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::Verifying);
    EXPECT_EQ(status("a"), FileCode::Damaged);
    m_parser.ProcessStdErrData("disk\rfull\n");
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(status("a"), FileCode::DamagedUnrecoverable);
    EXPECT_EQ(status("b"), FileCode::MissingUnrecoverable);
    EXPECT_TRUE(m_model.m_ParMainOutput.endsWith("disk\nfull\n"));
    EXPECT_TRUE(log.contains("par2 error info: prog(12) malloc: freed twice"));
}

// par2 exits with 4 when the set is unusable and with 5 when a repair failed;
// neither may read as a success.
TEST_F(Par2OutputParserTest, FinalStatusFollowsExitStatusAndOutput) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("final"));
    const auto finalStatus = [&](int exitStatus, const QString& output) {
        m_model = Par2OutputModel();
        m_model.m_DocumentStatus = DocStatus::Verifying;
        m_parser.resetForRun();
        feed(output);
        m_parser.DetermineFinalStatusAfterRecover(exitStatus, folder);
        return m_model.m_DocumentStatus;
    };
    EXPECT_EQ(finalStatus(2, "Target: \"a\" - found.\n"), DocStatus::AllIntact);
    EXPECT_EQ(finalStatus(4, "Loading \"junk.par2\".\n"), DocStatus::HelperErrors);
    EXPECT_EQ(finalStatus(5, "Repair is possible.\n"), DocStatus::HelperErrors);
    EXPECT_EQ(finalStatus(139, "Repair is possible.\n"), DocStatus::HelperErrors);
    EXPECT_EQ(finalStatus(0, "Repair is possible.\n"), DocStatus::Repaired);
    EXPECT_EQ(finalStatus(0, "Repair is possible.\n"
                             "None of the recovery blocks will be used for the repair.\n"),
              DocStatus::AllIntact);
    EXPECT_EQ(finalStatus(0, "You need 3 more recovery blocks to be able to repair.\n"),
              DocStatus::RepairImpossible);
    m_model.m_DocumentStatus = DocStatus::Aborted;
    m_parser.DetermineFinalStatusAfterRecover(0, folder);
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::Aborted);
}

// Killed (or out of disk space) after "Repair is possible.": nothing was restored.
TEST_F(Par2OutputParserTest, AFailedRepairLeavesNothingRestorable) {
    const QString output = RecordedRun::load(QStringLiteral("repaired")).stdOut;
    feed(output.left(output.indexOf(QStringLiteral("Computing"))));
    ASSERT_EQ(status("f1.bin"), FileCode::DamagedRecoverable);
    m_parser.DetermineFinalStatusAfterRecover(137, QString());
    EXPECT_EQ(m_model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(status("f1.bin"), FileCode::DamagedUnrecoverable);
}

// Only lines about the files par2 was given are read; any other "File:" line
// came from inside a name.
TEST_F(Par2OutputParserTest, FileLinesAboutFilesNotGivenAreNotRead) {
    m_parser.setGivenFiles({QStringLiteral("set.par2"), QStringLiteral("a.bin")});
    feed("Verifying source files:\n\nTarget: \"a.bin\" - found.\n\nScanning extra files:\n\n"
         "File: \"evil\" - is a match for \"a.bin\".\n"
         "File: \"a.bin\" - is a match for \"b.bin\".\n");
    EXPECT_EQ(status("a.bin"), FileCode::Intact);
    EXPECT_EQ(m_model.m_FileStatus.value("b.bin").associatedFilename(), "a.bin");
}

TEST_F(Par2OutputParserTest, AFailingLineIsReportedOnceWithItsNumber) {
    int notices = 0;
    m_parser.setFileStatusNotice([&](const QString&) {
        if (++notices == 2)
            throw std::runtime_error("window gone");
    });
    feed("Loading: 1%\rTarget: \"a\" - found.\nTarget: \"b\" - found.\n");
    EXPECT_EQ(failedAtLine, 3);
    feed("Target: \"c\" - found.\n");
    EXPECT_EQ(notices, 2);
    EXPECT_FALSE(m_model.m_FileStatus.contains("c"));
}
