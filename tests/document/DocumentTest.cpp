#include "DocumentTestSupport.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/PARDocumentController.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

TEST(DocumentOpeningTest, TrashedFilesAndForeignLocationsAreRefused) {
    const QString userTrash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files";
    EXPECT_TRUE(MyDocument::FileIsTrashed(userTrash + "/set.par2"));
    EXPECT_TRUE(MyDocument::FileIsTrashed("/media/disk/.Trash-1000/files/set.par2"));
    EXPECT_TRUE(MyDocument::FileIsTrashed("/home/u/.Trash/set.par2"));
    EXPECT_FALSE(MyDocument::FileIsTrashed("/home/u/Trash/set.par2"));
    EXPECT_FALSE(MyDocument::FileIsTrashed("/home/u/.Trashy.par2"));

    RecordingDocument document(QStringLiteral("par2SL"));
    VLMError error;
    EXPECT_FALSE(document.initWithContentsOfURL(QStringLiteral("https://example.org/x.par2"),
                                                QStringLiteral("PAR2 File"), &error));
    EXPECT_EQ(error.domain(), VLMError::kVelmoraDomain);
    EXPECT_TRUE(
        error.localizedDescription().contains(QStringLiteral("https://example.org/x.par2")));
    EXPECT_FALSE(document.initWithContentsOfURL(userTrash + "/set.par2", "PAR2 File", &error));
    EXPECT_TRUE(document.initWithContentsOfURL(QStringLiteral("file:///tmp/set.par2"), "PAR2 File",
                                               &error));
    EXPECT_TRUE(error.isNull());
    EXPECT_EQ(document.chosenDirectory(), QStringLiteral("/tmp"));
}

TEST(NewSetTest, FilesComeFromOneFolderAndRemovingTheLastResetsTheDocument) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("new"));
    const QString other = TestEnvironment::makeFolder(QStringLiteral("other"));
    RecordingWindow window;
    auto document = std::make_shared<RecordingDocument>(QStringLiteral("par2SL"));
    document->setParController(&window);
    const QString a = writeFile(folder, "a.bin", {});
    const QString b = writeFile(folder, "b.bin", {});
    const QString elsewhere = writeFile(other, "c.bin", {});
    const QString recovery = writeFile(folder, "x.PAR2", {});
    QFile::link(a, folder + "/link.bin");

    EXPECT_EQ(document->CanFileBeAdded(a), 1);
    EXPECT_EQ(document->CanFileBeAdded(folder), -1);
    document->addFiles({a, b, a});
    EXPECT_EQ(document->numSubjectFiles(), 2);
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::ReadyToCreate);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(document->CanFileBeAdded(elsewhere), 0);
    EXPECT_EQ(document->CanFileBeAdded(recovery), 0);
    EXPECT_EQ(document->CanFileBeAdded(a), 0);
    EXPECT_EQ(document->CanFileBeAdded(folder + "/link.bin"), 0);
    EXPECT_EQ(document->CanFileBeAdded(other), 0);
    EXPECT_EQ(document->CanFileBeAdded(QFileInfo(folder).path()), -1);
    EXPECT_TRUE(document->CanSaveDocumentAs());

    window.selection = {"a.bin", "b.bin"};
    document->PerformParRemove();
    EXPECT_EQ(document->numSubjectFiles(), 0);
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Idle);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->CanSaveDocumentAs());
    EXPECT_TRUE(window.selection.isEmpty());
    EXPECT_EQ(document->CanFileBeAdded(elsewhere), 1);
}

TEST(NewSetTest, ActionsAreEnabledOnlyWhenTheyMakeSense) {
    RecordingDocument document(QStringLiteral("par2SL"));
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::RetryRecovery), 0);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::AbortAction), 0);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::AddFile), 1);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::ParRemove), 0);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::Preferences), 1);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::Other), -1);
    document.setm_DocumentStatus(DocStatus::WaitingForTurn);
    EXPECT_EQ(document.validateToolbarOrMenuItem(DocumentAction::AddFile), 0);
    document.setm_UnrarInProgress(UnrarState::Waiting);
    EXPECT_FALSE(document.canClose());
    EXPECT_TRUE(document.isWaitingForExclusiveProcessing());
}
