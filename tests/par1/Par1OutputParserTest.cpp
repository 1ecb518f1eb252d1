#include "par1/Par1OutputParser.h"

#include "par1/Par1StatusText.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString recorded(const QString& name) {
    QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/par1/%1.stderr").arg(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A parser fed the way the document feeds it: chunks, then a line feed and the
// final status once the helper is done.
struct Reading {
    using RunType = Par1OutputParser::RunType;

    explicit Reading(RunType run = RunType::VerifyRepair, const QStringList& subjectFiles = {})
        : run(run) {
        model.m_DocumentStatus =
            run == RunType::VerifyRepair ? DocStatus::Verifying : DocStatus::Creating;
        for (const QString& name : subjectFiles)
            model.m_FileStatus.insert(name, FileStatus(name, FileCode::ToBeProtected));
        parser.setMainFileName(QStringLiteral("set.par"));
    }
    Reading& feed(const QString& text) {
        parser.ProcessStdErrData(text, run);
        return *this;
    }
    Reading& finish(int exitStatus = 0) {
        model.m_ParMainOutput += QLatin1Char('\n');
        if (run == RunType::VerifyRepair)
            parser.DetermineFinalStatusAfterRecover(exitStatus);
        else
            parser.DetermineFinalStatusAfterGenerate();
        return *this;
    }
    int32_t status(const QString& name) const {
        return model.m_FileStatus.value(name).fileStatus();
    }
    StatisticsRecord statistics() const {
        StatisticsRecord record;
        Par1OutputParser::CountStatistics(model.m_FileStatus, model.m_PxxFileStatus, record);
        return record;
    }

    RunType run;
    Par1OutputModel model;
    Par1OutputParser parser{model};
};

struct RecordedCase {
    const char* name;
    int32_t status;
    std::vector<std::pair<const char*, int32_t>> files;
};

const std::vector<RecordedCase> kVerifyCases = {
    {"intact",
     DocStatus::AllIntact,
     {{"a.bin", FileCode::Intact}, {"small.txt", FileCode::Intact}}},
    {"repaired",
     DocStatus::Repaired,
     {{"a.bin", FileCode::Repaired}, {"b.bin", FileCode::Repaired}, {"c.bin", FileCode::Intact}}},
    {"repaired-misnamed",
     DocStatus::RepairedWrongNames,
     {{"a.bin", FileCode::Repaired}, {"c.bin", FileCode::FoundUnderOtherName}}},
    {"misnamed", DocStatus::AllIntactWrongNames, {{"c.bin", FileCode::FoundUnderOtherName}}},
    {"too-few",
     DocStatus::RepairImpossible,
     {{"a.bin", FileCode::MissingUnrecoverable}, {"c.bin", FileCode::Intact}}},
    {"outside-repaired",
     DocStatus::RestorableIntact,
     {{"b.bin", FileCode::Repaired}, {"notes.txt", FileCode::MissingUnrecoverable}}},
    {"outside-misnamed",
     DocStatus::RestorableIntactWrongNames,
     {{"c.bin", FileCode::FoundUnderOtherName}, {"notes.txt", FileCode::MissingUnrecoverable}}},
    {"not-restored", DocStatus::HelperErrors, {{"b.bin", FileCode::MissingUnrecoverable}}},
    {"not-par", DocStatus::NotARecoveryFile, {}},
    {"unreadable", DocStatus::NotARecoveryFile, {}},
};

} // namespace

TEST(Par1OutputParserTest, RecordedVerifyRunsEndInTheirStatus) {
    for (const RecordedCase& expected : kVerifyCases) {
        Reading reading;
        reading.feed(recorded(expected.name)).finish();
        EXPECT_EQ(reading.model.m_DocumentStatus, expected.status) << expected.name;
        for (const auto& [name, status] : expected.files)
            EXPECT_EQ(reading.status(name), status) << expected.name << " " << name;
    }
    Reading misnamed;
    misnamed.feed(recorded("repaired-misnamed")).finish();
    EXPECT_EQ(misnamed.model.m_FileStatus.value("c.bin").associatedFilename(), "moved.dat");
    EXPECT_EQ(misnamed.model.m_PxxFileStatus.keys(), QStringList({"set.P01", "set.P02"}));
    EXPECT_EQ(misnamed.model.m_Progress, 100);
}

// The helper writes a line at a time and the progress bar piece by piece; the
// reader may cut anywhere. Every cut must leave what one whole read leaves.
TEST(Par1OutputParserTest, ChunksCutAnywhereReadLikeTheWholeOutput) {
    for (const char* name : {"repaired", "outside-misnamed", "too-few"}) {
        const QString output = recorded(name);
        Reading whole;
        whole.feed(output).finish();
        for (qsizetype size : {1, 3, 7, 64}) {
            Reading pieces;
            for (qsizetype at = 0; at < output.size(); at += size)
                pieces.feed(output.mid(at, size));
            EXPECT_EQ(pieces.finish().model, whole.model) << name << " in pieces of " << size;
        }
    }
    const QString output = recorded("repaired");
    const qsizetype bar = output.indexOf("0%----10%----2");
    Reading cut;
    cut.feed(output.left(bar + 14));
    EXPECT_EQ(cut.model.m_Progress, 18);
    EXPECT_EQ(cut.model.m_DocumentStatus, DocStatus::Repairing);
    EXPECT_EQ(cut.status("a.bin"), FileCode::DamagedRecoverable);
    EXPECT_EQ(cut.status("b.bin"), FileCode::MissingRecoverable);
    EXPECT_EQ(Par1OutputParser::ProgressOfBar(u"0%"), 0);
    EXPECT_EQ(Par1OutputParser::ProgressOfBar(u"0%----10%"), 10);
    EXPECT_EQ(Par1OutputParser::ProgressOfBar(QString(80, u'-')), 100);
}

TEST(Par1OutputParserTest, RecordedCreateRuns) {
    Reading created(Par1OutputParser::RunType::Create, {"a.bin", "b.bin", "small.txt"});
    created.feed(recorded("create")).finish();
    EXPECT_EQ(created.model.m_DocumentStatus, DocStatus::Created);
    EXPECT_EQ(created.status("a.bin"), FileCode::Intact);
    EXPECT_EQ(created.model.m_PxxFileStatus.keys(), QStringList({"set.P01", "set.P02", "set.par"}));

    Reading refused(Par1OutputParser::RunType::Create, {"a.bin", "gone.bin"});
    refused.feed(recorded("create-refused")).finish();
    EXPECT_EQ(refused.model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(refused.status("a.bin"), FileCode::ToBeProtected);
}

TEST(Par1OutputParserTest, LineRules) {
    Reading reading;
    reading.feed("x.dat - not in PAR volume set\nx.dat - CORRUPT\n"
                 "y.dat - not in PAR volume set\ny.dat - NOT FOUND\n"
                 "    Rename: old.bad -> data\ndata - FIXED\n"
                 "Looking for PXX volumes:\nset.P01 - OK\n"
                 "Looking for additional PXX volumes:\nstray.vol - OK\n"
                 "odd - OK");
    EXPECT_EQ(reading.status("x.dat"), FileCode::DamagedUnrecoverable);
    EXPECT_EQ(reading.status("y.dat"), FileCode::MissingUnrecoverable);
    EXPECT_EQ(reading.status("data"), FileCode::FoundUnderOtherName);
    EXPECT_EQ(reading.model.m_FileStatus.value("data").associatedFilename(), "old");
    EXPECT_EQ(reading.model.m_PxxFileStatus.keys(),
              QStringList({"set.P01", "set.par", "stray.vol"}));
    EXPECT_FALSE(reading.model.m_FileStatus.contains("set.P01"));
    // An unfinished line is not read by an ending that is part of a name.
    EXPECT_FALSE(reading.model.m_FileStatus.contains("odd"));
    reading.feed(" name.bin - NOT FOUND\n");
    EXPECT_EQ(reading.status("odd - OK name.bin"), FileCode::Missing);

    const StatisticsRecord statistics = reading.statistics();
    EXPECT_EQ(statistics[StatisticsRecord::IntactFiles], 1u);
    EXPECT_EQ(statistics[StatisticsRecord::DamagedFiles], 1u);
    EXPECT_EQ(statistics[StatisticsRecord::MissingFiles], 2u);
    EXPECT_EQ(statistics[StatisticsRecord::BadFilesNotInVolumeSet], 2u);
    EXPECT_EQ(statistics[StatisticsRecord::RecoveryVolumesFound], 3u);

    // A new run's output starts reading afresh: no volume list is open.
    reading.model.m_ParMainOutput.clear();
    reading.feed("z.bin - OK\n");
    EXPECT_EQ(reading.status("z.bin"), FileCode::Intact);
}

TEST(Par1OutputParserTest, StoppedAndUnfinishedRepairs) {
    Reading aborted;
    aborted.model.m_DocumentStatus = DocStatus::Aborted;
    aborted.feed(recorded("repaired")).finish();
    EXPECT_EQ(aborted.model.m_DocumentStatus, DocStatus::Aborted);
    EXPECT_TRUE(aborted.model.m_FileStatus.isEmpty());

    // The helper died after the first of two restored files: not repaired.
    const QString output = recorded("repaired");
    Reading cut;
    cut.feed(output.left(output.indexOf("b.bin", output.indexOf("RECOVERED")))).finish();
    EXPECT_EQ(cut.model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(cut.status("a.bin"), FileCode::Repaired);
    EXPECT_EQ(cut.status("b.bin"), FileCode::MissingUnrecoverable);

    // Killed while restoring (128 + SIGKILL), or before writing anything.
    Reading killed;
    killed.feed(output.left(output.indexOf("Restoring:") + 11)).finish(137);
    EXPECT_EQ(killed.model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(killed.status("a.bin"), FileCode::DamagedUnrecoverable);
    EXPECT_EQ(killed.status("b.bin"), FileCode::MissingUnrecoverable);
    Reading silent;
    silent.finish(137);
    EXPECT_EQ(silent.model.m_DocumentStatus, DocStatus::HelperErrors);
    Reading unfinished;
    unfinished.feed("a.bin - OK\n").finish();
    EXPECT_EQ(unfinished.model.m_DocumentStatus, DocStatus::HelperErrors);
}

// The closing messages count only as whole lines, not inside a member's name.
TEST(Par1OutputParserTest, MessagesInsideNamesAreNames) {
    Reading reading;
    reading
        .feed("a.bin - OK\nErrors occurred. - OK\nAll files found - OK\nLooking for PXX volumes:\n"
              "set.P01 - OK\n\nAll files found\n")
        .finish();
    EXPECT_EQ(reading.model.m_DocumentStatus, DocStatus::AllIntact);
    EXPECT_EQ(reading.status("Errors occurred."), FileCode::Intact);
}

// As many volumes as bad files, yet no restore: no number of volumes still
// needed is named.
TEST(Par1OutputParserTest, AShortfallBelowOneNamesNoNumber) {
    StatisticsRecord statistics;
    statistics[StatisticsRecord::DamagedFiles] = 2;
    statistics[StatisticsRecord::MissingFiles] = 2;
    statistics[StatisticsRecord::RecoveryVolumesFound] = 4;
    EXPECT_EQ(Par1StatusText::documentStatusKey(DocStatus::RepairImpossible, statistics).key,
              "DocStatus4C");
}
