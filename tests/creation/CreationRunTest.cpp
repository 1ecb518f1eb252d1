#include "CreationTestSupport.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <gtest/gtest.h>

namespace {

// New PAR 2 documents saved in a temporary folder and created by the real par2.
class CreationRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        useBuiltHelpers();
        m_folder = TestEnvironment::makeFolder("creation");
        setBlockSize(BlockSizeChoiceValue::Automatic, 300, false);
    }
    void TearDown() override {
        for (const auto& document : m_documents)
            EXPECT_TRUE(runEnded(*document));
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    static void setBlockSize(int choice, int kibibytes, bool limit) {
        Preferences::setInteger(PrefKey::Par2BlockSizeChoice, choice);
        Preferences::setInteger(PrefKey::Par2BlockSize, kibibytes);
        Preferences::setBool(PrefKey::Par2LimitFileSize, limit);
    }

    std::shared_ptr<PAR2Document> newDocument(const QStringList& paths) {
        auto document = std::make_shared<PAR2Document>();
        m_controller.addDocument(document);
        document->addFiles(paths);
        m_documents.append(document);
        return document;
    }

    // Saves through the save panel's checks and waits for the end of the run.
    void saveAs(PAR2Document& document, const QString& name, const QString& number) {
        MyDocument::SavePanelField refused{};
        const QString path = document.panelUserEnteredFilename(name, number, &refused);
        ASSERT_FALSE(path.isNull());
        document.saveToLocation(path);
        ASSERT_TRUE(runEnded(document));
    }

    void expectCreated(PAR2Document& document, const char* setting) {
        SCOPED_TRACE(setting);
        EXPECT_EQ(document.m_DocumentStatus(), DocStatus::Created)
            << document.ParOutput().toStdString();
        for (const FileStatus& record : document.fileStatusSnapshot())
            EXPECT_EQ(record.fileStatus(), FileCode::Intact) << record.filename().toStdString();
        EXPECT_FALSE(document.isDocumentEdited());
        EXPECT_EQ(document.m_Progress(), 100);
        QFile main(document.fileName());
        ASSERT_TRUE(main.open(QIODevice::ReadOnly));
        EXPECT_EQ(main.read(8), QByteArray("PAR2\0PKT", 8));
        EXPECT_EQ(par2Verify(m_folder, QFileInfo(document.fileName()).fileName()), 0);
    }

    QString m_folder;
    PARDocumentController m_controller;
    QList<std::shared_ptr<PAR2Document>> m_documents;
};

} // namespace

TEST_F(CreationRunTest, SetsOfOneThreeAndFortyFilesVerifyWithEveryBlockSizeAndRedundancy) {
    for (const int count : {1, 3, 40}) {
        SCOPED_TRACE(count);
        m_folder = TestEnvironment::makeFolder(QStringLiteral("sets-%1").arg(count));
        auto document = newDocument(makeSubjectFiles(m_folder, count));
        ASSERT_EQ(document->numSubjectFiles(), count);

        saveAs(*document, "set", "0");
        expectCreated(*document, "automatic block size, redundancy 0 read as 1");

        setBlockSize(BlockSizeChoiceValue::Fixed, 1, true);
        writeFile(m_folder, "set.vol999+01.par2", "stale");
        document->saveOptionsFinishedWithNumPnn(100);
        ASSERT_TRUE(runEnded(*document));
        expectCreated(*document, "1 KiB blocks, redundancy 100, limited file size");
        EXPECT_FALSE(QFile::exists(m_folder + "/set.vol999+01.par2"));
        EXPECT_GE(setFiles(m_folder).size(), 2);

        setBlockSize(BlockSizeChoiceValue::Fixed, 4, false);
        document->saveOptionsFinishedWithNumPnn(33);
        ASSERT_TRUE(runEnded(*document));
        expectCreated(*document, "4 KiB blocks, redundancy 33");
        setBlockSize(BlockSizeChoiceValue::Automatic, 300, false);
    }
}

TEST_F(CreationRunTest, AFailedHelperNeverReportsASetAndLeavesNothingBehind) {
    ScriptedAlertPresenter alerts;
    auto empty = newDocument({writeFile(m_folder, "empty.bin", QByteArray())});
    saveAs(*empty, "empty", "10");
    EXPECT_EQ(empty->m_DocumentStatus(), DocStatus::HelperErrors);
    EXPECT_EQ(empty->fileStatusSnapshot().value("empty.bin").fileStatus(), FileCode::ToBeProtected);
    EXPECT_EQ(setFiles(m_folder), QStringList());

    qputenv("VELMORA_HELPERS_DIR", QFile::encodeName(TestEnvironment::makeFolder("no-helpers")));
    auto unstarted = newDocument({writeFile(m_folder, "a.bin", "data")});
    MyDocument::SavePanelField refused{};
    EXPECT_FALSE(
        unstarted->saveToLocation(unstarted->panelUserEnteredFilename("a", "5", &refused)));
    EXPECT_EQ(unstarted->m_DocumentStatus(), DocStatus::Idle);
    EXPECT_EQ(unstarted->m_PARIsRunning(), RunKind::None);
    // Nothing was created: Create stays open for another try.
    EXPECT_TRUE(unstarted->isDocumentEdited());
    EXPECT_EQ(unstarted->validateToolbarOrMenuItem(DocumentAction::SaveDocument), 1);
    EXPECT_FALSE(QFile::exists(m_folder + "/a.par2"));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_TRUE(alerts.shown[0].message.contains("par2SL"));
}

TEST_F(CreationRunTest, AVolumeNameThatCannotBeClearedStopsTheSaveBeforeTheRun) {
    ScriptedAlertPresenter alerts;
    QDir(m_folder).mkdir("set.vol0+1.par2");
    auto document = newDocument(makeSubjectFiles(m_folder, 2));
    saveAs(*document, "set", "10");
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::ReadyToCreate);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_FALSE(QFile::exists(m_folder + "/set.par2"));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, localized("CantDeletePnnErr"));
}

TEST_F(CreationRunTest, AbortInTheMiddleLeavesTheFilesToBeProtectedAndNoVolumes) {
    auto document = newDocument({writeFile(m_folder, "large.bin", randomBytes(24 << 20, 7)),
                                 writeFile(m_folder, "bb", "b")});
    MyDocument::SavePanelField refused{};
    ASSERT_TRUE(
        document->saveToLocation(document->panelUserEnteredFilename("big", "50", &refused)));
    ASSERT_TRUE(waitUntil([&] {
        return document->m_Progress() >= 1 || document->m_PARIsRunning() == RunKind::None;
    }));
    ASSERT_EQ(document->m_PARIsRunning(), RunKind::Create) << document->ParOutput().toStdString();
    EXPECT_EQ(document->fileStatusSnapshot().value("large.bin").fileStatus(), FileCode::Intact);
    EXPECT_FALSE(filesBeingWritten(m_folder).isEmpty());
    document->PerformAbortAction();
    ASSERT_TRUE(runEnded(*document));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::ReadyToCreate);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->CanSaveDocumentAs());
    for (const FileStatus& record : document->fileStatusSnapshot())
        EXPECT_EQ(record.fileStatus(), FileCode::ToBeProtected) << record.filename().toStdString();
    EXPECT_EQ(filesBeingWritten(m_folder), QStringList());
    EXPECT_EQ(QFileInfo(m_folder + "/large.bin").size(), 24 << 20);
}

TEST_F(CreationRunTest, NamesTypedIntoTheAddFilesPanelAreCheckedLikeTheEntriesItShows) {
    auto document = newDocument({});
    const QString other = TestEnvironment::makeFolder("creation-other");
    document->addFilesPanelDidEnd({writeFile(m_folder, "a.bin", "a"), writeFile(other, "b", "b"),
                                   writeFile(m_folder, "c.PAR2", "c")});
    EXPECT_FALSE(document->showingAddFileSheet());
    EXPECT_EQ(document->fileStatusSnapshot().keys(), QStringList({"a.bin"}));
    EXPECT_EQ(document->chosenDirectory(), m_folder);
}
