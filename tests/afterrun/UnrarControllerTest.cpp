#include "AfterRunTestSupport.h"
#include "Localized.h"
#include "LogCapture.h"
#include "ScriptedAlertPresenter.h"
#include "app/PARDocumentController.h"
#include "document/DocumentTypes.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ProgressTexts.h"
#include "platform/StringFormat.h"
#include "unrar/UnrarDocument.h"
#include "unrar/UnrarOpenPanelDelegate.h"
#include "unrar/UnrarPasswordList.h"
#include "unrar/UnrarProgressionController.h"
#include "unrar/VLMUnrarLibGlueDelegate.h"

#include <QDir>
#include <QLocale>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Runs one extraction to its end and records what its delegate is told.
struct Extraction : VLMUnrarProgressionControllerDelegate {
    void unrarSucceeded() override { events.append("succeeded"); }
    void unrarFinished() override { events.append("finished"); }
    void unrarProgressionControllerDidEnd(UnrarProgressionController*) override {
        events.append("didEnd");
    }
    UnrarResult run(const QString& archive, const QString& outputDir = QString()) {
        controller = UnrarProgressionController::create();
        controller->setDelegate(this);
        controller->setupForUnrarDocument(archive, outputDir);
        controller->startExclusiveProcessing();
        EXPECT_TRUE(waitUntil([&] { return events.contains("didEnd"); }));
        return controller->result();
    }
    std::shared_ptr<UnrarProgressionController> controller;
    QStringList events;
};

// A document that holds the scheduler's turn until it is told to let go.
struct BusyDocument : Document {
    bool isProcessing() const override { return busy; }
    bool isWaitingForExclusiveProcessing() const override { return waiting; }
    void startExclusiveProcessing() override {
        waiting = false;
        busy = true;
        ++starts;
    }
    bool busy = false;
    bool waiting = false;
    int starts = 0;
};

class UnrarControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = TestEnvironment::makeFolder("unrar-controller");
        Preferences::setInteger(PrefKey::DeleteSegOption, DeleteSegValue::Keep);
    }
    void TearDown() override {
        for (const QString& key :
             {PrefKey::UnattendedOperation, PrefKey::UnrarTargetExistsAction,
              PrefKey::DeleteSegOption, PrefKey::UnrarDestinationDetermination})
            Preferences::remove(key);
        UnrarPasswordList::setCandidates({});
    }
    QString path(const QString& name) const { return m_folder + '/' + name; }
    QStringList noticeTitles() const { return m_notifications.titles(); }

    PARDocumentController m_controller;
    RecordingNotifications m_notifications;
    QString m_folder;
};

} // namespace

TEST(UnrarProgress, SizesAreShownInWholeUnitsUpToAGigabyte) {
    QLocale::setDefault(QLocale(QLocale::English));
    EXPECT_EQ(UnrarProgressionController::sizeText(1048575), "1023 KB");
    EXPECT_EQ(UnrarProgressionController::sizeText(1048576), "1 MB");
    EXPECT_EQ(UnrarProgressionController::sizeText(1572864), "2 MB");
    EXPECT_EQ(UnrarProgressionController::sizeText(1610612736), "1.50 GB");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(UnrarProgressionController::sizeText(5368709120), "5,00 GB");
    QLocale::setDefault(QLocale::c());
}

TEST(UnrarOpenPanel, OnlyFirstVolumesAreOffered) {
    const QString folder = TestEnvironment::makeFolder("open-panel");
    QStringList shown;
    for (const char* name : {"set.part01.rar", "set.part02.rar", "set.part1.exe", "set.rar",
                             "set.001", "set.002", "set.r00", "x.PART2.RAR"}) {
        writeFile(folder + '/' + name, "x");
        if (UnrarOpenPanelDelegate::shouldShowFilename(folder + '/' + name))
            shown.append(name);
    }
    EXPECT_EQ(shown, QStringList(
                         {"set.part01.rar", "set.part1.exe", "set.rar", "set.001", "x.PART2.RAR"}));
    EXPECT_TRUE(UnrarOpenPanelDelegate::shouldShowFilename(folder));
}

TEST_F(UnrarControllerTest, SuccessShowsProgressNotifiesAndDeletesTheVolumes) {
    makeRar5(m_folder, "film.rar", {{"film/a.bin", randomBytes(3000, 1)}, {"film/b.nfo", "about"}},
             {"-v1000b"});
    const QStringList volumes = QDir(m_folder).entryList({"*.rar"}, QDir::Files, QDir::Name);
    ASSERT_GE(volumes.size(), 3);
    // Named like a further volume, but no part of the archive.
    const QString stranger = QStringLiteral("film.part%1.rar").arg(volumes.size() + 1);
    writeFile(path(stranger), "someone's file");
    Preferences::setInteger(PrefKey::DeleteSegOption, DeleteSegValue::DeletePermanently);
    RecordingProgressPresenter presenter;
    RecordingWorkspace workspace;
    Extraction extraction;
    const UnrarResult result = extraction.run(path("film.part1.rar"));

    EXPECT_EQ(result.outcome, UnrarOutcome::Finished);
    EXPECT_EQ(result.outputPath, path("film"));
    EXPECT_EQ(readFile(path("film/a.bin")), randomBytes(3000, 1));
    EXPECT_EQ(result.deletedFiles, volumes);
    EXPECT_EQ(QDir(m_folder).entryList({"*.rar"}, QDir::Files), QStringList{stranger});
    EXPECT_EQ(extraction.events, QStringList({"succeeded", "finished", "didEnd"}));
    EXPECT_EQ(
        presenter.calls.mid(0, 5),
        QStringList({"view:window:film.part1.rar", "status:" + localized("UnrarStatus1"),
                     "indeterminate", "status:" + localized("UnrarStatus2"), "indeterminate"}));
    EXPECT_TRUE(presenter.calls.contains("progress:1"));
    // The amount done out of the archive's total, with the share.
    const QString all = ProgressTexts::sizeText(3000);
    const QString done =
        "file:" + formatString(localized("UnrarAmountOfTotal"), all, all, QStringLiteral("100 %"));
    EXPECT_TRUE(
        std::any_of(presenter.calls.begin(), presenter.calls.end(),
                    [&](const QString& call) { return call.startsWith(done + " - film/"); }))
        << presenter.calls.join(u'|').toStdString();
    EXPECT_EQ(presenter.calls.mid(presenter.calls.size() - 2), QStringList({"ended", "close"}));

    ASSERT_EQ(m_notifications.notices.size(), 1);
    const auto notice = m_notifications.notices.last();
    EXPECT_EQ(notice.title, localized("UnrarSuccessNotificationTitle"));
    EXPECT_EQ(notice.actionTitle, localized("UnrarShowInFinderButton"));
    EXPECT_EQ(notice.body,
              formatString(localized("UnrarNotificationSubtitle"), QString("film.part1.rar")));
    m_controller.didActivateNotification(notice.userInfo);
    EXPECT_EQ(workspace.revealed, QStringList({path("film")}));
}

TEST_F(UnrarControllerTest, PasswordsComeFromTheDialogTheListOrNowhere) {
    makeRar5(m_folder, "locked.rar", {{"secret.txt", "hidden text"}}, {"-pKq7pass"});
    makeRar5(m_folder, "headers.rar", {{"also.txt", "more"}}, {"-hpKq7pass"});
    LogCapture log;
    {
        ScriptedPasswordPrompt prompt({QStringLiteral("Kq7pass")});
        EXPECT_EQ(Extraction().run(path("locked.rar")).outcome, UnrarOutcome::Finished);
        EXPECT_EQ(prompt.asked, QStringList({"secret.txt"}));
        EXPECT_EQ(readFile(path("secret.txt")), "hidden text");
        QFile::remove(path("secret.txt"));
    }
    {
        // Cancelling the question ends the extraction without an error box.
        ScriptedPasswordPrompt prompt({std::nullopt});
        ScriptedAlertPresenter alerts;
        const UnrarResult result = Extraction().run(path("locked.rar"));
        EXPECT_EQ(result.outcome, UnrarOutcome::Canceled);
        EXPECT_TRUE(alerts.shown.isEmpty());
        EXPECT_FALSE(QFile::exists(path("secret.txt")));
    }
    Preferences::setBool(PrefKey::UnattendedOperation, true);
    const UnrarResult refused = Extraction().run(path("locked.rar"));
    EXPECT_EQ(refused.outcome, UnrarOutcome::Failed);
    EXPECT_TRUE(refused.outputPath.isEmpty());
    EXPECT_TRUE(
        log.contains(formatString(localized("UnattendedUnrarPasswordErr"), QString("secret.txt"))));
    EXPECT_EQ(noticeTitles(), QStringList({localized("UnrarSuccessNotificationTitle"),
                                           localized("UnrarFailedNotificationTitle")}));

    UnrarPasswordList::setCandidates({"Zx9wrong", "Kq7pass"});
    EXPECT_EQ(Extraction().run(path("locked.rar")).outcome, UnrarOutcome::Finished);
    EXPECT_EQ(Extraction().run(path("headers.rar")).outcome, UnrarOutcome::Finished);
    EXPECT_EQ(readFile(path("secret.txt")), "hidden text");
    EXPECT_EQ(readFile(path("also.txt")), "more");
    for (const QString& line : log.lines())
        EXPECT_FALSE(line.contains("Kq7") || line.contains("Zx9")) << line.toStdString();
}

TEST_F(UnrarControllerTest, APasswordFileMustBePrivate) {
    writeFile(path("passwords"), "first\r\n\nsecond pass\n");
    QString problem;
    QFile::setPermissions(path("passwords"), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(UnrarPasswordList::readPasswordFile(path("passwords"), &problem));
    EXPECT_TRUE(problem.contains("chmod 600"));
    EXPECT_FALSE(problem.contains("first"));
    QFile::setPermissions(path("passwords"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(UnrarPasswordList::readPasswordFile(path("passwords"), &problem),
              QStringList({"first", "second pass"}));
    EXPECT_FALSE(UnrarPasswordList::readPasswordFile(m_folder, &problem));
}

TEST_F(UnrarControllerTest, ExistingOutputFollowsThePreferenceOrTheAnswer) {
    makeRar5(m_folder, "notes.rar", {{"notes.txt", "new"}});
    const QString renamed = "notes(" + localized("RenamedIndication") + "-1).txt";
    struct Case {
        int preference;
        bool unattended;
        int answer;
        int outcome;
        QByteArray notes;
        bool keptOld;
    };
    const Case cases[] = {
        {TargetExistsValue::Overwrite, false, 0, UnrarOutcome::Finished, "new", false},
        {TargetExistsValue::KeepBoth, false, 0, UnrarOutcome::Finished, "new", true},
        {TargetExistsValue::Cancel, false, 0, UnrarOutcome::Canceled, "old", false},
        {TargetExistsValue::Ask, false, kAlertDefaultReturn, UnrarOutcome::Finished, "new", true},
        {TargetExistsValue::Ask, false, kAlertAlternateReturn, UnrarOutcome::Canceled, "old",
         false},
        {TargetExistsValue::Ask, false, kAlertOtherReturn, UnrarOutcome::Finished, "new", false},
        {TargetExistsValue::Ask, true, 0, UnrarOutcome::Finished, "new", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preference * 10 + c.answer);
        QFile::remove(path(renamed));
        writeFile(path("notes.txt"), "old");
        Preferences::setInteger(PrefKey::UnrarTargetExistsAction, c.preference);
        Preferences::setBool(PrefKey::UnattendedOperation, c.unattended);
        ScriptedAlertPresenter alerts({c.answer});
        EXPECT_EQ(Extraction().run(path("notes.rar")).outcome, c.outcome);
        EXPECT_EQ(readFile(path("notes.txt")), c.notes);
        EXPECT_EQ(readFile(path(renamed)), c.keptOld ? "old" : "<missing>");
        EXPECT_EQ(alerts.shown.size(),
                  c.preference == TargetExistsValue::Ask && !c.unattended ? 1 : 0);
        if (!alerts.shown.isEmpty()) {
            EXPECT_EQ(alerts.shown[0].title,
                      formatString(localized("UnrarFileExistsTitle"), QString("notes.rar")));
            EXPECT_EQ(alerts.shown[0].message,
                      formatString(localized("UnrarFileExistsWarning"), path("notes.txt")));
        }
    }
    const qsizetype canceled = noticeTitles().indexOf(localized("UnrarAutomaticallyCanceledTitle"));
    ASSERT_GE(canceled, 0);
    EXPECT_EQ(noticeTitles().count(localized("UnrarAutomaticallyCanceledTitle")), 1);
    EXPECT_EQ(m_notifications.notices[canceled].userInfo.value("unrarresultpath"),
              path("notes.txt"));
}

TEST_F(UnrarControllerTest, ARarDocumentWaitsForItsTurnAndClosesItself) {
    makeRar5(m_folder, "one.rar", {{"one.txt", "1"}});
    writeFile(path("broken.rar"), "not an archive");
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination, DestinationValue::AskEachTime);
    {
        ScriptedFolderPanel cancel{QString()};
        EXPECT_FALSE(
            std::make_shared<UnrarDocument>()->readFromFile(path("one.rar"), DocumentTypes::Rar));
        EXPECT_EQ(cancel.asked, 1);
    }
    auto busy = std::make_shared<BusyDocument>();
    busy->busy = true;
    m_controller.addDocument(busy);
    const auto open = [&](const QString& name) {
        auto document = std::make_shared<UnrarDocument>();
        ScriptedFolderPanel panel{path("out")};
        QDir().mkpath(path("out"));
        EXPECT_TRUE(document->readFromFile(path(name), DocumentTypes::Rar));
        m_controller.addDocument(document);
        document->DoIt();
        return document;
    };
    auto first = open("one.rar");
    auto second = open("broken.rar");
    auto last = std::make_shared<BusyDocument>();
    last->waiting = true;
    m_controller.addDocument(last);
    EXPECT_TRUE(first->isWaitingForExclusiveProcessing());

    ScriptedAlertPresenter alerts;
    busy->busy = false;
    m_controller.scheduleNextExclusiveProcessing();
    EXPECT_TRUE(waitUntil([&] { return first->isClosed() && second->isClosed(); }));
    EXPECT_TRUE(waitUntil([&] { return last->starts == 1; }));
    EXPECT_EQ(readFile(path("out/one.txt")), "1");
    EXPECT_EQ(second->extractionResult().outcome, UnrarOutcome::Failed);
    EXPECT_TRUE(alerts.shown.isEmpty()); // the last document was waiting: a notice instead
    EXPECT_EQ(noticeTitles().last(), localized("UnrarFailedNotificationTitle"));

    auto canceled = open("one.rar");
    ASSERT_TRUE(canceled->isWaitingForExclusiveProcessing());
    canceled->unrarController()->onCancelButton();
    EXPECT_TRUE(canceled->isClosed());
    EXPECT_EQ(canceled->extractionResult().outcome, UnrarOutcome::Canceled);
    m_controller.removeDocument(busy.get());
    m_controller.removeDocument(last.get());
}
