#include "CreationTestSupport.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "par2/PAR2Document.h"
#include "par2/Par2CommandLine.h"
#include "par2/Par2CreateOutputReader.h"
#include "par2/Par2VolumeFiles.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"

#include <gtest/gtest.h>

namespace {

// A PAR 2 document whose subject-file map a test can fill without files.
class CrowdedDocument : public PAR2Document {
public:
    void crowd(int count) {
        std::lock_guard lock(m_DocumentLock);
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("f%1").arg(m_FileStatus.size());
            m_FileStatus.insert(name, FileStatus(name, FileCode::ToBeProtected));
        }
    }
};

std::shared_ptr<PAR2Document> documentWith(const QString& folder, const QStringList& names) {
    auto document = std::make_shared<PAR2Document>();
    QStringList paths;
    for (const QString& name : names)
        paths.append(writeFile(folder, name, "x"));
    document->addFiles(paths);
    return document;
}

} // namespace

TEST(CreateArgumentsTest, BlockSizeRedundancyLimitAndFileOrderFollowThePreferences) {
    const QStringList files = {"part10.bin", "Part9.bin", "b.txt", "-dash"};
    Preferences::setInteger(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Automatic);
    Preferences::setInteger(PrefKey::Par2BlockSize, 384);
    Preferences::setBool(PrefKey::Par2LimitFileSize, false);
    EXPECT_EQ(
        Par2CommandLine::makeCreateParamArray("/x/set.par2", files, 0),
        QStringList({"c", "-r1", "--", "set.par2", "-dash", "b.txt", "Part9.bin", "part10.bin"}));
    Preferences::setInteger(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Fixed);
    Preferences::setBool(PrefKey::Par2LimitFileSize, true);
    EXPECT_EQ(Par2CommandLine::makeCreateParamArray("/x/set.par2", {"a"}, 150),
              QStringList({"c", "-s393216", "-r100", "-l", "--", "set.par2", "a"}));
    PAR2Document document;
    EXPECT_EQ(
        document.makeCreateParamArray("/x/set.par2", {"a"}, {{"NumSpecifiedInSaveOptions", 42}})[2],
        "-r42");
    Preferences::setInteger(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Automatic);
    Preferences::setBool(PrefKey::Par2LimitFileSize, false);
}

TEST(SaveChecksTest, SuggestedNamesComeFromTheBaseNameAllFilesShare) {
    const QString folder = TestEnvironment::makeFolder("suggest");
    EXPECT_EQ(documentWith(folder, {"movie.part01.rar", "MOVIE.part02.rar"})->SuggestPARFileName(),
              "MOVIE.par2");
    EXPECT_EQ(documentWith(folder, {"archive.tar.gz"})->SuggestPARFileName(), "archive.par2");
    EXPECT_EQ(documentWith(folder, {".profile"})->SuggestPARFileName(), ".profile.par2");
    EXPECT_TRUE(documentWith(folder, {"a.txt", "b.txt"})->SuggestPARFileName().isNull());
    EXPECT_TRUE(PAR2Document().SuggestPARFileName().isNull());
}

TEST(SaveChecksTest, NumbersAreDigitsWithinTheRangeOfEachDialog) {
    EXPECT_EQ(MyDocument::savePanelNumber(""), 0);
    EXPECT_EQ(MyDocument::savePanelNumber("099"), 99);
    for (const char* wrong : {"100", "1a", "-1", " 5", "1.5", "99999999999999999999"})
        EXPECT_FALSE(MyDocument::savePanelNumber(wrong)) << wrong;
    EXPECT_FALSE(MyDocument::savePanelNumber(QString::fromUtf8("\u0663")));

    EXPECT_EQ(MyDocument::saveOptionsNumber("100", ParType::Par2), 100);
    EXPECT_FALSE(MyDocument::saveOptionsNumber("0", ParType::Par2));
    EXPECT_FALSE(MyDocument::saveOptionsNumber("", ParType::Par2));
    EXPECT_EQ(MyDocument::saveOptionsNumber("", ParType::Par1), 0);
    EXPECT_FALSE(MyDocument::saveOptionsNumber("100", ParType::Par1));

    ScriptedAlertPresenter alerts;
    EXPECT_FALSE(MyDocument::acceptSaveOptionsNumber("x", ParType::Par1));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, localized("WrongNumPARErr"));
    EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
}

TEST(SaveChecksTest, TheSetGoesIntoTheFolderOfItsFilesUnderTheSetTypesExtension) {
    const QString folder = TestEnvironment::makeFolder("location");
    const auto document = documentWith(folder, {"a.bin"});
    const auto at = [&](const QString& typed) { return document->checkSaveLocation(typed); };
    EXPECT_EQ(at("set").path, folder + "/set.par2");
    EXPECT_EQ(at("set.PAR2").path, folder + "/set.par2");
    EXPECT_EQ(at("set.txt").path, folder + "/set.txt.par2");
    EXPECT_FALSE(at(folder + "/./set").folderCorrected);
    EXPECT_EQ(at("/tmp/set").path, folder + "/set.par2");
    for (const char* bad : {"", ".par2", "sub/", ".."})
        EXPECT_EQ(at(bad).problem, formatString(localized("BadSetNameErr"), QString(bad))) << bad;
    QDir(folder).mkdir("taken.par2");
    QFile::link(folder + "/a.bin", folder + "/link.par2");
    writeFile(folder, "old.par2", "old");
    EXPECT_EQ(at("taken").problem,
              formatString(localized("SetNameTakenErr"), QString("taken.par2")));
    EXPECT_TRUE(at("link").path.isNull());
    EXPECT_TRUE(at("old").replacesFile);

    ScriptedAlertPresenter alerts(
        {kAlertDefaultReturn, kAlertDefaultReturn, kAlertAlternateReturn});
    MyDocument::SavePanelField refused{};
    EXPECT_TRUE(document->panelUserEnteredFilename("set", "100", &refused).isNull());
    EXPECT_EQ(refused, MyDocument::SavePanelField::Number);
    EXPECT_TRUE(document->panelUserEnteredFilename("taken", "5", &refused).isNull());
    EXPECT_EQ(refused, MyDocument::SavePanelField::Name);
    EXPECT_TRUE(document->panelUserEnteredFilename("old", "7", &refused).isNull());
    EXPECT_EQ(document->panelUserEnteredFilename("../x", "", &refused), folder + "/x.par2");
    EXPECT_EQ(document->m_NumSpecifiedInSaveOptions(), 0);
    ASSERT_EQ(alerts.shown.size(), 4);
    EXPECT_EQ(alerts.shown[0].message, localized("WrongNumPARErr"));
    EXPECT_EQ(alerts.shown[2].message,
              formatString(localized("ReplaceSetQuestion"), QString("old.par2")));
    EXPECT_EQ(alerts.shown[3].message, formatString(localized("PathCorrectedWarning"), folder));
    EXPECT_EQ(QFile(folder + "/old.par2").size(), 3);
}

TEST(SaveChecksTest, AFullSetShowsTheRoomLeftInTheSingularOrPlural) {
    ScriptedAlertPresenter alerts;
    CrowdedDocument nearlyFull;
    nearlyFull.crowd(32767);
    nearlyFull.addFiles({"/nowhere/a", "/nowhere/b"});
    EXPECT_EQ(nearlyFull.numSubjectFiles(), 32767);
    EXPECT_TRUE(nearlyFull.checkRoomForFiles(1));
    nearlyFull.crowd(1);
    EXPECT_FALSE(nearlyFull.checkRoomForFiles(1));
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[0].message, localized("TooManyFilesForPar2ErrS"));
    EXPECT_EQ(alerts.shown[1].message, formatString(localized("TooManyFilesForPar2ErrP"), 0));
}

TEST(CreateOutputReaderTest, ProgressAndDoneFilesFollowTheProcessingLines) {
    Par2OutputModel model;
    model.m_IsVerifyRepairRun = false;
    for (const char* name : {"a", "b", "c"})
        model.m_FileStatus.insert(name, FileStatus(name, FileCode::ToBeProtected));
    int notices = 0;
    Par2CreateOutputReader reader(model);
    reader.setFileStatusNotice([&] { ++notices; });
    const auto feed = [&](const QString& chunk) {
        model.m_ParMainOutput += chunk;
        reader.DetermineGenerateStateFromParOutput();
    };
    feed("Opening: a\nOpening: b\nConstructing: 50.0%\n");
    EXPECT_EQ(model.m_Progress, 0);
    EXPECT_EQ(model.m_FileStatus["a"].fileStatus(), FileCode::ToBeProtected);
    feed("Processing: 12.5%\nProcessing: 49.");
    EXPECT_EQ(model.m_Progress, 13);
    EXPECT_EQ(model.m_FileStatus["c"].fileStatus(), FileCode::Intact);
    feed("6%\nProcessing: 3.0%\n");
    EXPECT_EQ(model.m_Progress, 50);
    feed("Processing: 100.0%\n");
    EXPECT_EQ(model.m_Progress, 100);
    EXPECT_EQ(notices, 1);

    model.m_DocumentStatus = DocStatus::Aborted;
    feed("Processing: 1.0%\n");
    EXPECT_EQ(model.m_Progress, 100);
    EXPECT_FALSE(reader.DetermineFinalStatusAfterGenerate(false));
    EXPECT_EQ(model.m_DocumentStatus, DocStatus::ReadyToCreate);

    model.m_DocumentStatus = DocStatus::Creating;
    EXPECT_TRUE(reader.DetermineFinalStatusAfterGenerate(false));
    EXPECT_EQ(model.m_DocumentStatus, DocStatus::HelperErrors);
    EXPECT_EQ(model.m_FileStatus["a"].fileStatus(), FileCode::ToBeProtected);
    model.m_DocumentStatus = DocStatus::Creating;
    EXPECT_FALSE(reader.DetermineFinalStatusAfterGenerate(true));
    EXPECT_EQ(model.m_DocumentStatus, DocStatus::Created);
    EXPECT_EQ(model.m_FileStatus["b"].fileStatus(), FileCode::Intact);
    EXPECT_FALSE(model.m_FileStatus.contains("c")) << "par2 never opened it";
}

TEST(StrayVolumesTest, OnlyTheFilesPar2WritesForTheSetAreRemoved) {
    const QString folder = TestEnvironment::makeFolder("stray");
    const QStringList gone = {"set.par2", "set.vol0+1.par2", "set.vol063+64.par2"};
    const QStringList kept = {"Set.vol0+1.par2", "set2.par2",       "set.vol1.par2",
                              "set.par2.bak",    "set.vol1+2.PAR2", "xset.vol0+1.par2",
                              "set.txt"};
    for (const QString& name : gone + kept)
        writeFile(folder, name, "x");
    EXPECT_TRUE(Par2VolumeFiles::RemoveStrayPnnFiles(folder + "/set.par2"));
    for (const QString& name : gone)
        EXPECT_FALSE(QFile::exists(folder + "/" + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(folder + "/" + name)) << name.toStdString();
    QDir(folder).mkdir("set.vol1+2.par2");
    EXPECT_FALSE(Par2VolumeFiles::RemoveStrayPnnFiles(folder + "/set.par2"));
}
