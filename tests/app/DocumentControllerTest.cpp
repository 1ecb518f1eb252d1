#include "DesktopStandIns.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/PARDocumentController.h"
#include "document/DocumentTypes.h"
#include "document/MyDocument.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "unrar/UnrarDestination.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(DocumentTypesTest, PAR1VolumesAreForcedAndTheOpenPanelShowsOnlySets) {
    EXPECT_EQ(DocumentTypes::typeForPath("/x/name.P07"), DocumentTypes::Par1);
    EXPECT_EQ(DocumentTypes::typeForPath("/x/name.p99"), DocumentTypes::Par1);
    EXPECT_EQ(DocumentTypes::typeForPath("/x/name.PAR"), DocumentTypes::Par1);
    EXPECT_EQ(DocumentTypes::typeForPath("/x/name.vol0+1.PAR2"), DocumentTypes::Par2);
    EXPECT_EQ(DocumentTypes::typeForPath("/x/name.part1.rar"), DocumentTypes::Rar);
    EXPECT_TRUE(DocumentTypes::typeForPath("/x/name.P7").isNull());
    EXPECT_TRUE(DocumentTypes::typeForPath("/x/name.PA1").isNull());

    const QString folder = TestEnvironment::makeFolder(QStringLiteral("panel"));
    QDir(folder).mkdir(QStringLiteral("sub"));
    QFile::link(writeFile(folder, "x.txt", {}), folder + "/link.txt");
    EXPECT_TRUE(DocumentTypes::shouldShowInOpenPanel(folder + "/sub"));
    EXPECT_TRUE(DocumentTypes::shouldShowInOpenPanel(folder + "/link.txt"));
    EXPECT_TRUE(DocumentTypes::shouldShowInOpenPanel(writeFile(folder, "x.PAR2", {})));
    EXPECT_TRUE(DocumentTypes::shouldShowInOpenPanel(writeFile(folder, "x.p03", {})));
    EXPECT_FALSE(DocumentTypes::shouldShowInOpenPanel(folder + "/x.txt"));
    EXPECT_FALSE(DocumentTypes::shouldShowInOpenPanel(writeFile(folder, "x.p3", {})));
}

TEST(DocumentControllerTest, OpeningARealSetDismissesTheSingleStrayUntitledDocument) {
    PARDocumentController controller;
    QList<std::shared_ptr<MyDocument>> shown;
    controller.setDisplayHandler([&](const auto& document) { shown.append(document); });
    const std::shared_ptr<MyDocument> stray = controller.onNewPar2();
    ASSERT_TRUE(stray);
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("open"));
    VLMError error;
    EXPECT_TRUE(
        controller.openDocumentWithContentsOfURL(writeFile(folder, "a.par2", {}), true, &error));
    EXPECT_TRUE(stray->isClosed());
    EXPECT_EQ(shown.size(), 2);

    // Two untitled documents are the user's own: neither goes.
    const auto first = controller.onNewPar2();
    const auto second = controller.onNewPar2();
    EXPECT_TRUE(
        controller.openDocumentWithContentsOfURL(writeFile(folder, "b.par2", {}), false, &error));
    EXPECT_FALSE(first->isClosed());
    EXPECT_FALSE(second->isClosed());
    EXPECT_EQ(shown.size(), 4);
}

TEST(DocumentControllerTest, FilesItCannotOpenGiveAClearError) {
    PARDocumentController controller;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("refuse"));
    VLMError error;
    EXPECT_FALSE(
        controller.openDocumentWithContentsOfURL("https://example.org/a.par2", true, &error));
    EXPECT_TRUE(error.localizedDescription().contains("https://example.org/a.par2"));
    EXPECT_FALSE(
        controller.openDocumentWithContentsOfURL(writeFile(folder, "notes.txt", {}), true, &error));
    EXPECT_TRUE(error.localizedDescription().contains("notes.txt"));
    // A FIFO would block the first read forever.
    const QString fifo = folder + "/pipe.par2";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(controller.openDocumentWithContentsOfURL(fifo, true, &error));
    EXPECT_TRUE(error.localizedDescription().contains("pipe.par2"));
    EXPECT_TRUE(controller.documents().isEmpty());

    // A relative name with a colon is a file in the working folder, not a URL.
    const QString working = QDir::currentPath();
    QDir::setCurrent(folder);
    EXPECT_EQ(controller.typeForContentsOfURL(QStringLiteral("part:1.par2"), &error),
              DocumentTypes::Par2);
    QDir::setCurrent(working);
}

TEST(DocumentControllerTest, CloseAllNeedsAnIdleParDocument) {
    PARDocumentController controller;
    EXPECT_FALSE(controller.canCloseAll());
    const auto document = controller.onNewPar2();
    EXPECT_TRUE(controller.canCloseAll());
    document->setm_UnrarInProgress(UnrarState::Running);
    EXPECT_FALSE(controller.canCloseAll());
    document->setm_UnrarInProgress(UnrarState::None);
    controller.PerformCloseAll();
    EXPECT_TRUE(controller.documents().isEmpty());
}

TEST(DocumentControllerTest, ExtractionFoldersAndNotificationClicks) {
    PARDocumentController controller;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("destination"));
    Preferences::setString(PrefKey::UnrarDestinationFolder, folder);
    EXPECT_EQ(UnrarDestination::fixedFolder(), folder);
    Preferences::setString(PrefKey::UnrarDestinationFolder, folder + "/gone");
    EXPECT_TRUE(UnrarDestination::fixedFolder().isNull());

    {
        ScriptedFolderPanel panel(folder);
        EXPECT_EQ(UnrarDestination::askForFolder(), folder);
    }
    ScriptedFolderPanel cancelled{QString()};
    EXPECT_TRUE(UnrarDestination::askForFolder().isNull());

    RecordingWorkspace workspace;
    controller.didActivateNotification({{"unrarresultpath", folder + "/movie.mkv"}});
    controller.didActivateNotification({{"other", "x"}});
    EXPECT_EQ(workspace.revealed, QStringList{folder + "/movie.mkv"});
}
