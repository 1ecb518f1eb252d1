#include "Par2TestSupport.h"
#include "TestEnvironment.h"
#include "par2/Par2CommandLine.h"
#include "par2/Par2OutputParser.h"
#include "par2/Par2RepairPreconditions.h"

#include <QDir>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

// Sets made by the real par2 in a temporary folder, verified and repaired with
// the application's argument list while the parser reads the output as it comes.
class Par2RealHelperTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& data) { writeFile(path(name), data); }
    QByteArray read(const QString& name) const { return readFile(path(name)); }
    void rename(const QString& from, const QString& to) {
        ASSERT_TRUE(QFile::rename(path(from), path(to)));
    }

    void makeSet(const QString& redundancy = QStringLiteral("-r20")) {
        m_folder = TestEnvironment::makeFolder(QStringLiteral("real"));
        m_model = Par2OutputModel();
        m_model.m_DocumentStatus = DocStatus::Verifying;
        m_parser.resetForRun();
        for (int i = 1; i <= 3; ++i)
            write(QStringLiteral("f%1.bin").arg(i), m_original[i] = randomBytes(20000, i));
        write(QStringLiteral("small.txt"), "hello\n");
        ASSERT_EQ(runPar2In(m_folder, {"c", "-q", "-q", "-b40", redundancy, "--", "set.par2",
                                       "f1.bin", "f2.bin", "f3.bin", "small.txt"}),
                  0);
    }

    int32_t repair(const QString& main = QStringLiteral("set.par2")) {
        QByteArray output, errors;
        const QStringList arguments = Par2CommandLine::makeRepairParamArray(path(main));
        m_parser.setGivenFiles(Par2CommandLine::givenFiles(arguments));
        const int exitStatus = runCommandCapturing(m_folder, QStringLiteral("/usr/bin/par2"),
                                                   arguments, output, errors);
        m_parser.ProcessStdOutData(QString::fromUtf8(output));
        if (!errors.isEmpty())
            m_parser.ProcessStdErrData(QString::fromUtf8(errors));
        m_model.m_ParMainOutput += QLatin1Char('\n');
        m_parser.DetermineFinalStatusAfterRecover(exitStatus, m_folder);
        return m_model.m_DocumentStatus;
    }

    int32_t status(const QString& name) const {
        return m_model.m_FileStatus.value(name).fileStatus();
    }

    QString m_folder;
    QByteArray m_original[4];
    Par2OutputModel m_model;
    Par2OutputParser m_parser{m_model};
};

} // namespace

TEST_F(Par2RealHelperTest, EveryOutcomeOfAVerifyRepairRun) {
    makeSet();
    EXPECT_EQ(repair(), DocStatus::AllIntact);
    EXPECT_EQ(m_model.m_NumRecoverableFiles, 4);

    makeSet();
    rename("f3.bin", "other.name");
    write("unrelated.dat", randomBytes(3000, 9));
    EXPECT_EQ(repair(), DocStatus::AllIntactWrongNames);
    EXPECT_EQ(m_model.m_FileStatus.value("f3.bin").associatedFilename(), "other.name");
    EXPECT_TRUE(m_model.m_ParMainOutput.contains("File: \"unrelated.dat\" - no data found."));
    EXPECT_FALSE(m_model.m_PxxFileStatus.contains("unrelated.dat"));
    EXPECT_EQ(read("f3.bin"), m_original[3]);

    makeSet();
    damageFile(path("f1.bin"), 1000);
    EXPECT_EQ(repair(), DocStatus::Repaired);
    EXPECT_EQ(status("f1.bin"), FileCode::Repaired);
    EXPECT_EQ(read("f1.bin"), m_original[1]);

    makeSet();
    damageFile(path("f1.bin"), 1000);
    rename("f2.bin", "renamed.dat");
    EXPECT_EQ(repair(), DocStatus::RepairedWrongNames);
    EXPECT_EQ(status("f2.bin"), FileCode::FoundUnderOtherName);
    EXPECT_EQ(read("f2.bin"), m_original[2]);

    makeSet();
    EXPECT_EQ(repair(QStringLiteral("missing.par2")), DocStatus::HelperErrors);
}

TEST_F(Par2RealHelperTest, TooFewRecoveryBlocksPutsMisnamedFilesBack) {
    makeSet(QStringLiteral("-c2"));
    QFile::remove(path("f1.bin"));
    rename("f2.bin", "moved.bin");
    write("f2.bin", "junk in the way");
    EXPECT_EQ(repair(), DocStatus::RepairImpossible);
    EXPECT_GT(m_model.m_NumMissingBlocks, 0);
    EXPECT_EQ(status("f1.bin"), FileCode::MissingUnrecoverable);
    EXPECT_EQ(read("f2.bin"), m_original[2]);
    EXPECT_EQ(read("f2.bin.1"), "junk in the way");
    EXPECT_FALSE(QFile::exists(path("moved.bin")));
}

TEST_F(Par2RealHelperTest, RecoveryFilesThatAddNothing) {
    makeSet();
    ASSERT_TRUE(QFile::copy(path("set.vol0+1.par2"), path("copy.par2")));
    write("other.bin", randomBytes(5000, 5));
    ASSERT_EQ(runPar2In(m_folder, {"c", "-q", "-q", "-b10", "--", "other.par2", "other.bin"}), 0);
    EXPECT_EQ(repair(), DocStatus::AllIntact);
    for (const char* name : {"set.par2", "copy.par2", "other.par2"})
        EXPECT_TRUE(m_model.m_EmptyPar2Files.contains(name)) << name;
    EXPECT_FALSE(m_model.m_PxxFileStatus.contains("copy.par2"));
}

// A set's file present without one usable block: damaged, then repaired.
TEST_F(Par2RealHelperTest, AFileWithNoUsableDataIsDamagedThenRepaired) {
    makeSet(QStringLiteral("-r50"));
    write("f1.bin", randomBytes(20000, 99));
    EXPECT_EQ(repair(), DocStatus::Repaired);
    EXPECT_EQ(status("f1.bin"), FileCode::Repaired);
    EXPECT_EQ(read("f1.bin"), m_original[1]);
}

// A name with line feeds that imitates par2's lines must not reach par2, whose
// echo of it would make an intact set unrepairable and rename a file.
TEST_F(Par2RealHelperTest, NamesWithControlCharactersCannotSpeakForPar2) {
    makeSet();
    const QString spoof = QStringLiteral(
        "x\nTarget: \"f1.bin\" - damaged.\nFile: \"small.txt\" - is a match for \"f2.bin\".\n"
        "You need 7 more recovery blocks to be able to repair.\n");
    write(spoof, "bait");
    EXPECT_EQ(repair(), DocStatus::AllIntact);
    EXPECT_EQ(status("f1.bin"), FileCode::Intact);
    EXPECT_EQ(read("f2.bin"), m_original[2]);
    EXPECT_EQ(read("small.txt"), "hello\n");
    EXPECT_EQ(read(spoof), "bait");
}

// A stored name "sub/x.bin" with "sub" a link out of the folder: no repair may
// run through it, and putting misnamed files back touches nothing there.
TEST_F(Par2RealHelperTest, StoredNamesThroughALinkStayInsideTheFolder) {
    makeSet(QStringLiteral("-c2"));
    ASSERT_TRUE(QDir(m_folder).mkdir("sub"));
    write("sub/x.bin", randomBytes(7000, 4));
    ASSERT_EQ(runPar2In(m_folder,
                        {"c", "-q", "-q", "-b40", "-c2", "--", "sub.par2", "f1.bin", "sub/x.bin"}),
              0);
    EXPECT_FALSE(Par2RepairPreconditions::nameThroughLink(
        path("sub.par2"), TargetFileList::initFromPar2File(path("sub.par2"))));
    rename("sub/x.bin", "moved.bin");
    QFile::remove(path("f1.bin"));
    ASSERT_TRUE(QDir(m_folder).rmdir("sub"));
    const QString elsewhere = TestEnvironment::makeFolder(QStringLiteral("elsewhere"));
    writeFile(elsewhere + "/x.bin", "someone else's file");
    ASSERT_TRUE(QFile::link(elsewhere, path("sub")));
    EXPECT_EQ(Par2RepairPreconditions::nameThroughLink(
                  path("sub.par2"), TargetFileList::initFromPar2File(path("sub.par2"))),
              "sub/x.bin");

    EXPECT_EQ(repair(QStringLiteral("sub.par2")), DocStatus::RepairImpossible);
    EXPECT_EQ(readFile(elsewhere + "/x.bin"), "someone else's file");
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::Files), QStringList{"x.bin"});
    EXPECT_TRUE(QFile::exists(path("moved.bin")));

    // A plain stored name that is itself a link.
    ASSERT_TRUE(QFile::remove(path("sub")));
    ASSERT_TRUE(QFile::link(elsewhere + "/x.bin", path("f1.bin")));
    EXPECT_EQ(Par2RepairPreconditions::nameThroughLink(
                  path("sub.par2"), TargetFileList::initFromPar2File(path("sub.par2"))),
              "f1.bin");
}
