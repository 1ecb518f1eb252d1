#include "AfterRunTestSupport.h"
#include "EventLoopWait.h"
#include "Localized.h"
#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "unrar/UnrarProgressionController.h"
#include "unrar/VLMUnrarLibGlueDelegate.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(RarSetTests, OnlyCompleteChainsWithOneBaseAreArchives) {
    const auto classic = [](const QStringList& names) {
        QString first;
        return AfterRunActions::IsClassicRar(names, &first) ? first : QStringLiteral("no");
    };
    const auto modern = [](const QStringList& names) {
        QString first;
        return AfterRunActions::IsModernRar(names, &first) ? first : QStringLiteral("no");
    };
    EXPECT_EQ(classic({"x.r00", "x.RAR", "x.r01", "notes.txt"}), "x.RAR");
    EXPECT_EQ(classic({"x.rar", "x.r00", "x.r02"}), "no");
    EXPECT_EQ(classic({"x.rar"}), "x.rar");
    EXPECT_EQ(classic({"a.rar", "b.rar"}), "no");
    EXPECT_EQ(classic({"a.rar", "b.r00"}), "no");
    EXPECT_EQ(modern({"m.part1.rar", "m.part2.rar", "m.part3.rar"}), "m.part1.rar");
    EXPECT_EQ(modern({"m.part1.rar", "m.part3.rar"}), "no");
    EXPECT_EQ(modern({"a.part1.rar", "a.part2.rar", "b.part1.rar"}), "a.part1.rar");
    EXPECT_EQ(modern({"m.part1.rar", "m.part02.rar"}), "no");
    EXPECT_EQ(modern({"m.part1.exe", "m.part2.rar", "m.part2.exe"}), "m.part1.exe");
    EXPECT_EQ(modern({".part1.rar", "m.Part1.rar"}), "no");
}

// Documents in one folder; the helpers folder holds the real par2 and a stand-in
// helper that waits for a file "go<n>" and prints nothing.
class AfterRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = TestEnvironment::makeFolder("afterrun");
        const QString helpers = TestEnvironment::makeFolder("afterrun-helpers");
        QFile::link(VELMORA_HELPERS_BUILD_DIR "/par2SL", helpers + "/par2SL");
        writeExecutable(helpers + "/waiter",
                        "#!/bin/sh\nwhile [ ! -f \"$1\" ]; do sleep 0.02; done\n");
        qputenv("VELMORA_HELPERS_DIR", QFile::encodeName(helpers));
        writeFile(path("set.par2"), "");
    }
    void TearDown() override {
        for (int i = 0; i < 4; ++i)
            release(i);
        EXPECT_TRUE(waitUntil([&] {
            return std::all_of(m_documents.begin(), m_documents.end(), [](const auto& document) {
                return document->isClosed() || isSettled(*document);
            });
        }));
        waitUntil([] { return false; }, 50);
        for (const QString& key :
             {PrefKey::AutoCloseDocument, PrefKey::UnrarDestinationDetermination})
            Preferences::remove(key);
        QList<PostProcessRule> standard;
        PARDocumentController::SetStandardPPRules(standard);
        m_controller.SavePPRulesSet(standard);
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    QString path(const QString& name) const { return m_folder + '/' + name; }
    void release(int index) { writeFile(path(QStringLiteral("go%1").arg(index)), ""); }

    std::shared_ptr<AfterRunPar2Document> openSet(const QString& name) {
        auto document = std::make_shared<AfterRunPar2Document>();
        m_controller.addDocument(document);
        document->readFromFile(path(name), QStringLiteral("PAR2 File"));
        m_documents.append(document);
        document->ProcessRepairCurrentFile();
        return document;
    }
    std::shared_ptr<ScriptedRunDocument> openScripted(const QStringList& files, int32_t status) {
        auto document = std::make_shared<ScriptedRunDocument>(
            path(QStringLiteral("go%1").arg(m_documents.size())), files, status);
        m_controller.addDocument(document);
        document->readFromFile(path("set.par2"), QStringLiteral("PAR2 File"));
        m_documents.append(document);
        document->ProcessRepairCurrentFile();
        return document;
    }
    // A repaired set's extraction has ended.
    bool extracted(AfterRunPar2Document& document) {
        const auto record = document.afterRun().postProcessingRecord();
        return isSettled(document) && record.extraction &&
               record.extraction->outcome != UnrarResult::kNotEnded;
    }
    QStringList filesHere(const QString& pattern) const {
        return QDir(m_folder).entryList({pattern}, QDir::Files, QDir::Name);
    }

    PARDocumentController m_controller;
    RecordingNotifications m_notifications;
    QString m_folder;
    QList<std::shared_ptr<MyDocument>> m_documents;
};

} // namespace

TEST_F(AfterRunTest, ARepairedSetOfPartVolumesIsExtractedAndCleanedUp) {
    const QByteArray movie = randomBytes(60000, 7);
    makeRar5(m_folder, "movie.rar", {{"movie.mkv", movie}}, {"-v25000b"});
    ASSERT_EQ(filesHere("movie.part*.rar"),
              QStringList({"movie.part1.rar", "movie.part2.rar", "movie.part3.rar"}));
    ASSERT_EQ(runCommand(m_folder, "/usr/bin/par2",
                         {"c", "-q", "-q", "-s2000", "-r60", "--", "movie.par2", "movie.part1.rar",
                          "movie.part2.rar", "movie.part3.rar"}),
              0);
    const QStringList setFiles = filesHere("movie.*");
    QFile::remove(path("movie.part2.rar"));

    auto document = openSet("movie.par2");
    ASSERT_TRUE(waitUntil([&] { return extracted(*document); }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Repaired);
    EXPECT_EQ(readFile(path("movie.mkv")), movie);
    const PostProcessingRecord record = document->afterRun().postProcessingRecord();
    EXPECT_EQ(record.action, PostProcessingRecord::Action::Extract);
    EXPECT_EQ(record.target, "movie.part1.rar");
    EXPECT_EQ(record.extraction->outcome, UnrarOutcome::Finished);
    EXPECT_EQ(record.extraction->outputPath, path("movie.mkv"));
    QStringList deleted = record.deletedFiles + record.extraction->deletedFiles;
    deleted.sort();
    EXPECT_EQ(deleted, setFiles);
    EXPECT_EQ(filesHere("movie.*"), QStringList({"movie.mkv"}));
    for (const QString& name : setFiles)
        EXPECT_TRUE(trashedNames().contains(name)) << name.toStdString();
    EXPECT_FALSE(document->isClosed());
}

TEST_F(AfterRunTest, ClassicVolumesAreExtractedFromTheirRarVolume) {
    const QByteArray data = randomBytes(2500, 11);
    writeFile(path("src/data.bin"), data);
    ASSERT_EQ(runCommand(m_folder, VELMORA_SOURCE_DIR "/tests/fixtures/make-rar-v4",
                         {"-v", "1000", "classic.rar", "file:data.bin:" + path("src/data.bin")}),
              0);
    ASSERT_EQ(runCommand(m_folder, "/usr/bin/par2",
                         {"c", "-q", "-q", "-s200", "-r70", "--", "classic.par2", "classic.rar",
                          "classic.r00", "classic.r01"}),
              0);
    QFile::remove(path("classic.r00"));

    auto document = openSet("classic.par2");
    ASSERT_TRUE(waitUntil([&] { return extracted(*document); }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Repaired);
    EXPECT_EQ(document->afterRun().postProcessingRecord().target, "classic.rar");
    EXPECT_EQ(readFile(path("data.bin")), data);
    EXPECT_EQ(filesHere("classic.*"), QStringList());
}

TEST_F(AfterRunTest, AMatchingRuleWinsAndAnIncompleteChainIsNotExtracted) {
    RecordingWorkspace workspace;
    for (const char* name : {"part.part1.rar", "part.part3.rar", "notes.zip"})
        writeFile(path(name), randomBytes(3000, 3));
    ASSERT_EQ(runCommand(m_folder, "/usr/bin/par2",
                         {"c", "-q", "-q", "-s1000", "-r10", "--", "part.par2", "part.part1.rar",
                          "part.part3.rar", "notes.zip"}),
              0);
    auto document = openSet("part.par2");
    ASSERT_TRUE(waitUntil([&] { return isSettled(*document); }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::AllIntact);
    EXPECT_EQ(workspace.opened, QStringList({path("notes.zip")}));
    PostProcessingRecord record = document->afterRun().postProcessingRecord();
    EXPECT_EQ(record.action, PostProcessingRecord::Action::Rule);
    EXPECT_EQ(record.rule, "Unzip");
    EXPECT_EQ(record.target, "notes.zip");
    EXPECT_FALSE(record.extraction);

    m_controller.SavePPRulesSet({});
    QString title;
    EXPECT_FALSE(document->afterRun().validatePostProcessing(&title));
    EXPECT_EQ(title, localized("MenuTextPostProcess"));
    document->afterRun().PerformPostProcessing();
    EXPECT_EQ(document->m_UnrarInProgress(), UnrarState::None);

    // By hand, a command-line rule runs through the terminal script.
    writeExecutable(path("bin/terminal"), "#!/bin/sh\nshift\nexec \"$@\"\n");
    // The record appears whole: the shell creates a redirected file before printf fills it.
    writeExecutable(path("bin/record"),
                    "#!/bin/sh\nprintf '%s' \"$*\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n");
    qputenv("TERMINAL", QFile::encodeName(path("bin/terminal")));
    m_controller.SavePPRulesSet({PostProcessRule(
        "Record", PostProcessRule::Contains, "notes", false, PostProcessRule::RunCommandLine,
        path("bin/record") + " \u00ABF\u00BB", QString())});
    EXPECT_TRUE(document->afterRun().validatePostProcessing(&title));
    EXPECT_EQ(title, "Record \u201Cnotes.zip\u201D");
    document->afterRun().PerformPostProcessing();
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(path("bin/record.out")); }));
    qunsetenv("TERMINAL");
    EXPECT_EQ(readFile(path("bin/record.out")), path("notes.zip").toUtf8());
}

TEST_F(AfterRunTest, ACanceledDestinationHandsTheTurnOnOnce) {
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination, DestinationValue::AskEachTime);
    ScriptedFolderPanel cancel{QString()};
    auto archive = openScripted({"x.part1.rar", "x.part2.rar"}, DocStatus::Repaired);
    auto second = openScripted({}, DocStatus::AllIntact);
    auto third = openScripted({}, DocStatus::AllIntact);
    ASSERT_TRUE(second->isWaitingForExclusiveProcessing());

    release(0);
    ASSERT_TRUE(waitUntil([&] { return second->starts == 1; }));
    EXPECT_EQ(cancel.asked, 1);
    // Its readers may still be on their way out when the turn has been handed on.
    EXPECT_TRUE(waitUntil([&] { return isSettled(*archive); }));
    waitUntil([] { return false; }, 300); // a second hand-over would start the third now
    EXPECT_EQ(third->starts, 0);
    release(1);
    ASSERT_TRUE(waitUntil([&] { return third->starts == 1; }));
    EXPECT_EQ(archive->starts + second->starts, 2);
}

TEST_F(AfterRunTest, TheExtractionKeepsTheTurnAndTheDocumentClosesAfterIt) {
    makeRar5(m_folder, "y.rar", {{"y.bin", randomBytes(5000, 5)}}, {"-v3000b"});
    Preferences::setBool(PrefKey::AutoCloseDocument, true);
    auto archive = openScripted(filesHere("y.part*.rar"), DocStatus::Repaired);
    auto next = openScripted({}, DocStatus::AllIntact);
    int32_t extractionStateAtNextStart = -1;
    next->onStart = [&] { extractionStateAtNextStart = archive->m_UnrarInProgress(); };

    release(0);
    ASSERT_TRUE(waitUntil([&] { return next->starts == 1 && archive->isClosed(); }));
    EXPECT_EQ(extractionStateAtNextStart, UnrarState::None);
    EXPECT_EQ(archive->afterRun().postProcessingRecord().extraction->outcome,
              UnrarOutcome::Finished);
    EXPECT_FALSE(archive->readersAliveAtClose);
    EXPECT_EQ(readFile(path("y.bin")), randomBytes(5000, 5));
}

// The rule's action takes longer than any fixed pause: the run's next steps wait
// for it to be done.
TEST_F(AfterRunTest, TheNextStepsWaitForTheRulesAction) {
    RecordingWorkspace workspace;
    Preferences::setBool(PrefKey::AutoCloseDocument, true);
    auto withRule = openScripted({"a.zip"}, DocStatus::AllIntact);
    auto next = openScripted({}, DocStatus::AllIntact);
    bool nextStartedDuringAction = false;
    workspace.whileOpening = [&] {
        spinUntil([] { return false; }, 2300);
        nextStartedDuringAction = next->starts > 0 || withRule->isClosed();
    };
    release(0);
    ASSERT_TRUE(waitUntil([&] { return next->starts == 1 && withRule->isClosed(); }));
    EXPECT_EQ(workspace.opened, QStringList({path("a.zip")}));
    EXPECT_FALSE(nextStartedDuringAction);
    EXPECT_FALSE(withRule->readersAliveAtClose);
}
