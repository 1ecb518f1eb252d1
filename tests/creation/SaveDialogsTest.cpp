#include "CreationTestSupport.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "platform/FileNames.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/ui/NumberField.h"
#include "window/AddFilesPanel.h"
#include "window/DocToolbarDelegate.h"
#include "window/FileTableModel.h"
#include "window/PARTableView.h"
#include "window/ParWindow.h"
#include "window/ParWindowController.h"
#include "window/SaveDialog.h"
#include "window/SaveOptionsController.h"
#include "window/VelmoraController.h"
#include "window/WidgetSetBuildingPanels.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A new PAR 2 document in a fresh folder, in its real document window, with the
// widget panels installed.
class SaveDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        useBuiltHelpers();
        Preferences::setInteger(PrefKey::Par2Redundancy, 10);
        // par2's own choice makes thousands of tiny blocks of files this small.
        Preferences::setInteger(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Fixed);
        Preferences::setInteger(PrefKey::Par2BlockSize, 1);
        m_folder = TestEnvironment::makeFolder("dialogs");
        m_document = std::make_shared<PAR2Document>();
        m_controller.addDocument(m_document);
        m_window = new ParWindowController(m_document);
        m_window->showWindow();
    }
    void TearDown() override {
        EXPECT_TRUE(runEnded(*m_document));
        delete m_window;
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    void addMovieParts() {
        m_document->addFiles({writeFile(m_folder, "movie.part01.rar", randomBytes(5000, 1)),
                              writeFile(m_folder, "movie.part02.rar", randomBytes(3000, 2))});
    }
    template <typename Dialog> QPointer<Dialog> openDialog() const {
        return m_window->window()->findChild<Dialog*>();
    }
    void expectCreatedAs(const QString& name) {
        ASSERT_TRUE(runEnded(*m_document));
        EXPECT_EQ(m_document->m_DocumentStatus(), DocStatus::Created)
            << m_document->ParOutput().toStdString();
        EXPECT_EQ(m_document->fileName(), m_folder + "/" + name);
        EXPECT_EQ(par2Verify(m_folder, name), 0);
    }
    QAction* create() const {
        m_window->validateToolbarItems();
        return m_window->velmoraController()->toolbarDelegate()->itemForItemIdentifier(
            "DocTBCreate");
    }
    void drop(const QStringList& encodedUrls) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& url : encodedUrls)
            urls.append(QUrl::fromEncoded(url.toLatin1()));
        mime.setUrls(urls);
        QWidget* viewport = m_window->window()->fileStatus()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::LinkAction, &mime,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
    }

    ScriptedAlertPresenter m_alerts;
    WidgetSetBuildingPanels m_panels;
    PARDocumentController m_controller;
    QString m_folder;
    std::shared_ptr<PAR2Document> m_document;
    ParWindowController* m_window = nullptr;
};

} // namespace

TEST_F(SaveDialogsTest, TheSaveDialogKeepsTheSetInTheFolderOfItsFiles) {
    addMovieParts();
    m_document->saveDocument();
    QPointer<SaveDialog> dialog = openDialog<SaveDialog>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->nameField()->text(), "movie.par2");
    EXPECT_EQ(dialog->numberField()->text(), "10");
    EXPECT_EQ(dialog->folderLabel()->text(), m_folder);

    dialog->numberField()->setText("100");
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->numberField()->selectedText(), "100");
    ASSERT_EQ(m_alerts.shown.size(), 1);
    EXPECT_EQ(m_alerts.shown[0].message, localized("WrongNumPARErr"));

    dialog->numberField()->setText("20");
    const QString elsewhere = TestEnvironment::makeFolder("dialogs-elsewhere");
    dialog->nameField()->setText(elsewhere + "/moved");
    dialog->accept();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(m_alerts.shown.size(), 2);
    EXPECT_EQ(m_alerts.shown[1].message, formatString(localized("PathCorrectedWarning"), m_folder));
    expectCreatedAs("moved.par2");
    EXPECT_EQ(m_document->m_NumSpecifiedInSaveOptions(), 20);
    EXPECT_TRUE(waitUntil([&] { return dialog.isNull(); }, 5000));
}

TEST_F(SaveDialogsTest, TheOptionsSheetOfASavedSetTakesAPar2RedundancyUpTo100) {
    addMovieParts();
    MyDocument::SavePanelField refused{};
    m_document->saveToLocation(m_document->panelUserEnteredFilename("first", "5", &refused));
    expectCreatedAs("first.par2");
    m_document->addFiles({writeFile(m_folder, "extra.bin", randomBytes(2000, 3))});

    m_document->saveDocument();
    QPointer<SaveOptionsController> sheet = openDialog<SaveOptionsController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->numberField()->text(), "10");
    EXPECT_EQ(sheet->explanation()->text(), localized("SavePar2NumberLabel"));
    sheet->OnCancel();
    EXPECT_TRUE(waitUntil([&] { return sheet.isNull(); }, 5000));
    EXPECT_EQ(m_document->m_DocumentStatus(), DocStatus::ReadyToCreate);

    m_document->saveDocument();
    sheet = openDialog<SaveOptionsController>();
    ASSERT_TRUE(sheet);
    sheet->numberField()->setText("0");
    sheet->OnOK();
    EXPECT_TRUE(sheet->isVisible());
    ASSERT_EQ(m_alerts.shown.size(), 1);
    EXPECT_EQ(m_alerts.shown[0].message, localized("WrongPar2RedundancyErr"));
    sheet->numberField()->setText("100");
    sheet->OnOK();
    expectCreatedAs("first.par2");
    EXPECT_EQ(m_document->m_NumSpecifiedInSaveOptions(), 100);
    EXPECT_EQ(m_document->numSubjectFiles(), 3);

    m_document->addFiles({writeFile(m_folder, "more.bin", "m")});
    m_document->saveDocumentAs();
    QPointer<SaveDialog> dialog = openDialog<SaveDialog>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->nameField()->text(), "first.par2");
    dialog->reject();
}

TEST_F(SaveDialogsTest, TheAddFilesPanelOffersOnlyWhatTheSetCanTake) {
    addMovieParts();
    writeFile(m_folder, "new.bin", "n");
    writeFile(m_folder, "old.par2", "p");
    QDir(m_folder).mkdir("sub");
    writeFile(TestEnvironment::makeFolder("dialogs-other"), "far.bin", "f");

    QFileSystemModel files;
    AddableFilesFilter filter(m_document, nullptr);
    filter.setSourceModel(&files);
    const QModelIndex folder = files.setRootPath(m_folder);
    ASSERT_TRUE(waitUntil([&] { return files.rowCount(folder) == 5; }, 10000));
    const QModelIndex shown = filter.mapFromSource(folder);
    QStringList offered;
    for (int row = 0; row < filter.rowCount(shown); ++row)
        offered.append(filter.index(row, 0, shown).data().toString());
    EXPECT_EQ(offered, QStringList({"new.bin"}));
    EXPECT_TRUE(filter.mapFromSource(files.index(QFileInfo(m_folder).path())).isValid());

    m_document->PerformAddFile();
    QPointer<AddFilesPanel> panel = openDialog<AddFilesPanel>();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(m_document->showingAddFileSheet());
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_EQ(panel->directory().absolutePath(), m_folder);
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_TRUE(panel->testOption(QFileDialog::DontUseNativeDialog));
    panel->selectFile("new.bin");
    static_cast<QDialog*>(panel.data())->accept();
    EXPECT_FALSE(m_document->showingAddFileSheet());
    EXPECT_TRUE(m_document->fileStatusSnapshot().contains("new.bin"));
    EXPECT_EQ(m_document->numSubjectFiles(), 3);
}

TEST_F(SaveDialogsTest, DroppedFilesWhoseNamesAreNotUtf8AreCreatedWithTheSuggestedName) {
    EXPECT_FALSE(m_window->window()->fileStatus()->emptyHint().isEmpty());
    const QStringList shown =
        m_window->velmoraController()->toolbarDelegate()->itemIdentifiers().mid(0, 3);
    EXPECT_EQ(shown, QStringList({"DocTBAddFiles", "DocTBRemove", "DocTBCreate"}));
    EXPECT_FALSE(create()->isEnabled());
    ASSERT_TRUE(
        writeFile(m_folder + '/' + FileNames::decode("r\xe9sum\xe9.doc"), randomBytes(20000, 4)));
    writeFile(m_folder, "photo.jpg", randomBytes(9000, 5));

    drop({QUrl::fromLocalFile(m_folder).toEncoded() + "/r%E9sum%E9.doc",
          QUrl::fromLocalFile(m_folder + "/photo.jpg").toEncoded()});
    EXPECT_EQ(m_document->numSubjectFiles(), 2);
    EXPECT_TRUE(m_window->window()->fileStatus()->emptyHint().isEmpty());
    EXPECT_EQ(m_window->window()
                  ->fileStatus()
                  ->fileModel()
                  ->index(1, FileTableModel::FileColumn)
                  .data()
                  .toString(),
              QString::fromUtf8("r\uFFFDsum\uFFFD.doc"));

    ASSERT_TRUE(create()->isEnabled());
    create()->trigger();
    QPointer<SaveDialog> dialog = openDialog<SaveDialog>();
    ASSERT_TRUE(dialog);
    const QString proposed = QFileInfo(m_folder).fileName() + ".par2";
    EXPECT_EQ(dialog->nameField()->text(), proposed);
    dialog->accept();
    ASSERT_TRUE(runEnded(*m_document));
    EXPECT_EQ(m_document->m_DocumentStatus(), DocStatus::Created)
        << m_document->ParOutput().toStdString();
    EXPECT_EQ(par2Verify(m_folder, proposed), 0);
}

TEST_F(SaveDialogsTest, AfterAFailedCreationCreateOffersTheOptionsSheetAgain) {
    m_document->addFiles({writeFile(m_folder, "empty.bin", QByteArray())});
    MyDocument::SavePanelField refused{};
    m_document->saveToLocation(m_document->panelUserEnteredFilename("set", "10", &refused));
    ASSERT_TRUE(runEnded(*m_document));
    ASSERT_EQ(m_document->m_DocumentStatus(), DocStatus::HelperErrors);
    ASSERT_TRUE(waitUntil([&] { return create()->isEnabled(); }, 5000));
    EXPECT_TRUE(m_document->isDocumentEdited());

    writeFile(m_folder, "empty.bin", randomBytes(30000, 6));
    create()->trigger();
    QPointer<SaveOptionsController> sheet = openDialog<SaveOptionsController>();
    ASSERT_TRUE(sheet);
    sheet->numberField()->setText("100");
    sheet->OnOK();
    ASSERT_TRUE(runEnded(*m_document));
    EXPECT_EQ(m_document->m_DocumentStatus(), DocStatus::Created)
        << m_document->ParOutput().toStdString();
    EXPECT_EQ(m_document->m_NumSpecifiedInSaveOptions(), 100);
    EXPECT_EQ(par2Verify(m_folder, "set.par2"), 0);
    EXPECT_FALSE(create()->isEnabled());
}
