#include "par2/Par2CommandLine.h"

#include "Localized.h"
#include "Par2TestSupport.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "par2/Par2FileFixer.h"
#include "par2/Par2RepairPreconditions.h"
#include "par2/Par2VolumeFiles.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(Par2CommandLineTest, RepairArgumentsListTheSetsOwnFilesFirst) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("args"));
    for (const char* name : {"b.txt", "a.p01", "a.vol0+1.par2", "a.par2", ".hidden", "A.PAR"})
        writeFile(folder + QLatin1Char('/') + QLatin1String(name));
    QDir(folder).mkdir(QStringLiteral("a.sub"));
    QFile::link(folder + QStringLiteral("/b.txt"), folder + QStringLiteral("/a.link"));
    EXPECT_EQ(
        Par2CommandLine::makeRepairParamArray(folder + QStringLiteral("/a.par2")),
        QStringList({"r", "--", "a.par2", "a.par2", "a.vol0+1.par2", "A.PAR", "a.p01", "b.txt"}));
    EXPECT_TRUE(HasPreferredExtension("x"));
    EXPECT_TRUE(HasPreferredExtension("x.p0a"));
    EXPECT_FALSE(HasPreferredExtension("dir/x.P99"));
    EXPECT_FALSE(HasPreferredExtension("x.pAr"));
}

TEST(Par2CommandLineTest, VolumePartsDecideWhichRecoveryFilesAreDeleted) {
    EXPECT_EQ(Par2VolumeFiles::FindVolPartInFilename("set.vol03+04.par2"), 4);
    EXPECT_EQ(Par2VolumeFiles::FindVolPartInFilename("ab.VOL1+2.par2"), 3);
    for (const char* name : {"xvol1+2.par2", "a.vol1+2x.par2", "set.par2", "set.vol03.par2",
                             "set.vol+1.par2", "set.vol1+.par2", "vol"})
        EXPECT_EQ(Par2VolumeFiles::FindVolPartInFilename(name), -1) << name;

    const QStringList candidates = {"movie.vol00+01.par2", "Movie.vol01+02.par2",
                                    "movie.par2",          "movie2.vol00+01.par2",
                                    "movie2.par2",         "movie.vol00+01.par"};
    EXPECT_EQ(Par2VolumeFiles::recoveryFilesOfSet("Movie.par2", candidates),
              QStringList({"movie.vol00+01.par2", "Movie.vol01+02.par2", "movie.par2"}));
    EXPECT_EQ(Par2VolumeFiles::recoveryFilesOfSet("movie.vol01+02.par2", candidates),
              QStringList({"movie.vol00+01.par2", "Movie.vol01+02.par2", "movie.par2"}));

    const QString folder = TestEnvironment::makeFolder(QStringLiteral("autodelete"));
    for (const QString& name : candidates)
        writeFile(folder + QLatin1Char('/') + name);
    Par2VolumeFiles::DoAutoDeleteParFiles(folder, "Movie.par2", candidates);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), candidates.size());
    Preferences::setBool(PrefKey::AutoDeletePnn, true);
    Par2VolumeFiles::DoAutoDeleteParFiles(folder, "Movie.par2",
                                          candidates + QStringList("movie.vol02+03.par2"));
    Preferences::setBool(PrefKey::AutoDeletePnn, false);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({"movie.vol00+01.par", "movie2.par2", "movie2.vol00+01.par2"}));
}

TEST(Par2CommandLineTest, ManyUnrelatedFilesAskBeforeTheRun) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("unrelated"));
    const QString main = folder + QStringLiteral("/set.par2");
    writeFile(main, fileDescriptionPacket("a") + fileDescriptionPacket("b"));
    for (int i = 0; i < 12; ++i)
        writeFile(folder + QStringLiteral("/x%1.dat").arg(i));
    writeFile(folder + QStringLiteral("/set.vol0+1.par2"));
    writeFile(folder + QStringLiteral("/.hidden"));
    const auto mayRun = [&] {
        return Par2RepairPreconditions::VerifyPreconditionsForRepair(
            main, TargetFileList::initFromPar2File(main));
    };
    ScriptedAlertPresenter alerts({kAlertDefaultReturn, kAlertAlternateReturn, kAlertOtherReturn});
    EXPECT_TRUE(mayRun()); // 12 of at most 12
    writeFile(folder + QStringLiteral("/x12.dat"));
    EXPECT_FALSE(mayRun());
    EXPECT_TRUE(mayRun());
    EXPECT_FALSE(Preferences::boolForKey(PrefKey::DontCheckForTooManyFiles));
    EXPECT_TRUE(mayRun());
    EXPECT_TRUE(Preferences::boolForKey(PrefKey::DontCheckForTooManyFiles));
    EXPECT_TRUE(mayRun());
    ASSERT_EQ(alerts.shown.size(), 3);
    EXPECT_EQ(alerts.shown[0].otherButton, localized("AlwaysProceedButton"));
    Preferences::remove(PrefKey::DontCheckForTooManyFiles);

    // One protected file never warns; unattended operation goes on without asking.
    writeFile(main, fileDescriptionPacket("a"));
    EXPECT_TRUE(mayRun());
    writeFile(main, fileDescriptionPacket("a") + fileDescriptionPacket("b"));
    Preferences::setBool(PrefKey::UnattendedOperation, true);
    EXPECT_TRUE(mayRun());
    Preferences::setBool(PrefKey::UnattendedOperation, false);
    EXPECT_EQ(alerts.shown.size(), 3);
}

TEST(Par2CommandLineTest, MisnamedFilesGoBackAndWhatIsInTheWayMovesAside) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("fix"));
    writeFile(folder + QStringLiteral("/moved.bin"), "data");
    writeFile(folder + QStringLiteral("/f2.bin"), "junk");
    writeFile(folder + QStringLiteral("/f2.bin.1"), "older");
    writeFile(folder + QStringLiteral("/outside.bin"), "keep");
    FileStatusMap files;
    files.insert("f2.bin", FileStatus("f2.bin", FileCode::FoundUnderOtherName, "moved.bin", true));
    files.insert("../escape.bin",
                 FileStatus("../escape.bin", FileCode::FoundUnderOtherName, "outside.bin", true));
    files.insert("f1.bin", FileStatus("f1.bin", FileCode::Missing));
    Par2FileFixer::FixFilenames(folder, files);
    EXPECT_EQ(readFile(folder + QStringLiteral("/f2.bin")), "data");
    EXPECT_EQ(readFile(folder + QStringLiteral("/f2.bin.1")), "older");
    EXPECT_EQ(readFile(folder + QStringLiteral("/f2.bin.2")), "junk");
    EXPECT_EQ(readFile(folder + QStringLiteral("/outside.bin")), "keep");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/../escape.bin")));
}
