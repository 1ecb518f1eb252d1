#include "EventLoopWait.h"
#include "RunCommand.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/PARDocumentController.h"
#include "app/ui/GuiSession.h"
#include "document/MyDocument.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "window/StatisticsPanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

QList<QMainWindow*> documentWindows() {
    QList<QMainWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<QMainWindow*>(widget); window && window->isVisible())
            windows.append(window);
    return windows;
}

// A session as the program runs it, on a folder holding movie.mkv packed into a
// RAR 5 archive of three volumes and protected by a PAR 2 set.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
        m_folder = TestEnvironment::makeFolder(
            QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // A trash of this test's own, so names trashed by another test never count.
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder + "/.data"));
        ASSERT_TRUE(writeFile(m_folder + "/movie.mkv", m_movie));
        ASSERT_EQ(
            runCommand(m_folder, "rar",
                       {"a", "-idq", "-ma5", "-m0", "-v25000b", "-df", "movie.rar", "movie.mkv"}),
            0);
        ASSERT_EQ(runCommand(m_folder, "par2",
                             {"c", "-q", "-q", "-s2000", "-r60", "--", "movie.par2",
                              "movie.part1.rar", "movie.part2.rar", "movie.part3.rar"}),
                  0);
    }
    void TearDown() override {
        for (const auto& document : m_controller.documents())
            document->close();
        spinUntil([] { return documentWindows().isEmpty(); }, 5000);
        for (const QString& key : {PrefKey::AutoPostProcess, PrefKey::AutoCloseDocument})
            Preferences::remove(key);
        qputenv("XDG_DATA_HOME", m_dataHome);
    }

    QString path(const QString& name) const { return m_folder + '/' + name; }
    std::shared_ptr<MyDocument> parDocument() const {
        for (const auto& document : m_controller.documents())
            if (auto par = std::dynamic_pointer_cast<MyDocument>(document))
                return par;
        return nullptr;
    }
    bool runEnded() const {
        const auto document = parDocument();
        return document && document->m_PARHasRepaired() &&
               document->m_PARIsRunning() == RunKind::None && !document->hasLiveReaders();
    }

    const QByteArray m_movie = randomBytes(60000, 5);
    PARDocumentController m_controller;
    GuiSession m_session{m_controller};
    QString m_folder;
    QByteArray m_dataHome;
};

QAction* postProcessItem(QMainWindow* window) {
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) {
        if (menu->title() != "&Set")
            continue;
        emit menu->aboutToShow();
        return menu->actions().constLast();
    }
    return nullptr;
}

} // namespace

TEST_F(SessionTest, ADamagedSetIsRepairedExtractedCleanedUpAndClosed) {
    Preferences::setBool(PrefKey::AutoCloseDocument, true);
    QFile::remove(path("movie.part2.rar"));
    m_session.open({path("movie.par2")});
    ASSERT_EQ(documentWindows().size(), 1);
    ASSERT_TRUE(spinUntil([this] { return m_controller.documents().isEmpty(); }, 60000));
    EXPECT_EQ(readFile(path("movie.mkv")), m_movie);
    EXPECT_EQ(QDir(m_folder).entryList({"movie.*"}, QDir::Files), QStringList{"movie.mkv"});
    for (const char* name : {"movie.par2", "movie.part1.rar", "movie.part3.rar"})
        EXPECT_TRUE(trashedNames().contains(name)) << name;
    EXPECT_TRUE(spinUntil([] { return documentWindows().isEmpty(); }, 5000));
}

TEST_F(SessionTest, ThePostProcessingItemNamesAndRunsTheExtraction) {
    Preferences::setBool(PrefKey::AutoPostProcess, false);
    m_session.open({path("movie.par2")});
    ASSERT_TRUE(spinUntil([this] { return runEnded(); }, 60000));
    ASSERT_EQ(documentWindows().size(), 1);
    QAction* item = postProcessItem(documentWindows().constFirst());
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(item->text().contains("movie.part1.rar")) << item->text().toStdString();
    item->trigger();
    ASSERT_TRUE(spinUntil([this] { return readFile(path("movie.mkv")) == m_movie; }, 60000));
    EXPECT_TRUE(spinUntil([this] { return !QFile::exists(path("movie.part1.rar")); }, 10000));
    EXPECT_FALSE(postProcessItem(documentWindows().constFirst())->isEnabled());
    // The volumes left the folder: none of them counts as an intact file any more.
    auto* panel = documentWindows().constFirst()->findChild<StatisticsPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(spinUntil([&] { return panel->valueOf("par2NumRemovedFiles") == "3"; }, 5000));
    EXPECT_TRUE(panel->isFieldShown("par2NumRemovedFiles"));
    EXPECT_EQ(panel->valueOf("par2NumGoodFiles"), "0");
    EXPECT_EQ(panel->valueOf("par2NumTotalFiles"), "3");
}

TEST_F(SessionTest, AnArchiveOpenedOnItsOwnIsExtractedWithoutADocumentWindow) {
    m_session.open({path("movie.part1.rar")});
    EXPECT_TRUE(documentWindows().isEmpty());
    ASSERT_TRUE(spinUntil([this] { return m_controller.documents().isEmpty(); }, 60000));
    EXPECT_EQ(readFile(path("movie.mkv")), m_movie);
    EXPECT_TRUE(trashedNames().contains("movie.part3.rar"));
    EXPECT_TRUE(QFile::exists(path("movie.par2")));
}

// The program itself: once the archive is extracted and its progress window
// has gone, nothing is left on screen, so the process ends.
TEST_F(SessionTest, AStandAloneExtractionEndsTheProgramWithItsLastWindow) {
    const int status = runCommand(m_folder, "timeout",
                                  {"60", VELMORA_BINARY_DIR "/bin/velmora", "--set",
                                   "UnrarDestinationDetermination=0", "--set", "AutoCheckUpdate=0",
                                   path("movie.part1.rar")});
    EXPECT_EQ(status, 0) << "124 means the process stayed after its last window";
    EXPECT_EQ(readFile(path("movie.mkv")), m_movie);
}
