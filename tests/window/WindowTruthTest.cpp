#include "../par2/Par2TestSupport.h"
#include "EventLoopWait.h"
#include "Localized.h"
#include "SampleSets.h"
#include "TestEnvironment.h"
#include "WindowTestSupport.h"
#include "app/AfterRunActions.h"
#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ProgressTexts.h"
#include "platform/StringFormat.h"
#include "window/DocToolbarDelegate.h"
#include "window/OutputDrawer.h"
#include "window/ResultLine.h"
#include "window/StatisticsPanel.h"
#include "window/StatusLine.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>

namespace {

FileStatus removed(const QString& name, int32_t status, FileStatus::Removal removal) {
    FileStatus record(name, status);
    record.setRemoval(removal);
    return record;
}

using Column = FileTableModel::Column;

QString cellOf(const FileTableModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.index(row, column).data(role).toString();
}

class WindowTruthTest : public WindowTest {};

// A file that left the folder is never shown as OK: its own text, no state
// icon, the palette's disabled colour.
TEST_F(WindowTruthTest, FilesThatLeftTheFolderSaySoAndAreDimmed) {
    open();
    FileStatusMap files = filesWithStatus({{"kept.rar", FileCode::Intact}});
    files.insert("a.rar", removed("a.rar", FileCode::Repaired, FileStatus::Removal::MovedToTrash));
    files.insert("b.rar", removed("b.rar", FileCode::Intact, FileStatus::Removal::Deleted));
    FileStatus volume = recoveryFile("set.vol0+1.par2", 1);
    volume.setRemoval(FileStatus::Removal::MovedToTrash);
    document->showFiles(files, {{volume.filename(), volume}});

    const QBrush dimmed = QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    EXPECT_EQ(cell(0, Column::StatusColumn), localized("FileMovedToTrash"));
    EXPECT_EQ(cell(0, Column::IconColumn, FileTableModel::IconNameRole), "");
    EXPECT_EQ(model()->index(0, Column::FileColumn).data(Qt::ForegroundRole).value<QBrush>(),
              dimmed);
    EXPECT_EQ(cell(1, Column::StatusColumn), localized("FileDeleted"));
    EXPECT_EQ(cell(2, Column::StatusColumn), localized("FileStatus1"));
    EXPECT_EQ(cell(2, Column::IconColumn, FileTableModel::IconNameRole), "FileOKIcon");
    EXPECT_FALSE(model()->index(2, Column::FileColumn).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(cell(3, Column::IconColumn, FileTableModel::IconNameRole), "") << "separator";
    EXPECT_EQ(cell(4, Column::StatusColumn), localized("FileMovedToTrash"));
    EXPECT_EQ(cell(4, Column::IconColumn, FileTableModel::IconNameRole), "");
}

// The result stays in the window until the next run, with its buttons only
// while the result is on disk.
TEST_F(WindowTruthTest, TheResultLineSaysWhereTheResultWent) {
    open();
    ResultLine* line = window()->resultLine();
    EXPECT_TRUE(line->isHidden());
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("holiday"));
    velmora()->ResultChanged(document.get(), QStringLiteral("Extracted to ~/holiday"), folder);
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(line->text(), "Extracted to ~/holiday");
    EXPECT_FALSE(line->openFolderButton()->isHidden());
    EXPECT_FALSE(line->revealButton()->isHidden());

    velmora()->ResultChanged(document.get(), QStringLiteral("Extracted"), folder + "/gone");
    EXPECT_TRUE(line->openFolderButton()->isHidden());
    document->setm_DocumentStatus(DocStatus::Verifying);
    EXPECT_TRUE(line->isHidden());
}

TEST_F(WindowTruthTest, StatusColoursStayReadableOnADarkPalette) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, Qt::white);
    for (auto displayClass : {DocStatus::DisplayClass::Success, DocStatus::DisplayClass::Failure,
                              DocStatus::DisplayClass::Waiting}) {
        const QColor colour = StatusLine::colourFor(displayClass, dark);
        EXPECT_GT(colour.lightnessF(), 0.5);
        EXPECT_LT(StatusLine::colourFor(displayClass, QPalette(Qt::white)).lightnessF(), 0.5);
    }
}

QAction* verifyAgainItem(ParWindowController& controller) {
    for (QAction* item : controller.velmoraController()->toolbarDelegate()->items()) {
        if (item->data().toString() == QLatin1String("PerformRetryRecovery:"))
            return item;
    }
    return nullptr;
}

// A damaged sample set in folder, opened in a real window and repaired with the
// clean-up as asked; null when the set could not be made or the run did not end.
std::unique_ptr<ParWindowController> repairInWindow(PARDocumentController& documents,
                                                    const QString& folder, bool deleteRecoveryFiles,
                                                    bool keepDamagedCopies) {
    Preferences::setBool(PrefKey::AutoDeletePnn, deleteRecoveryFiles);
    Preferences::setBool(PrefKey::KeepBrokenFiles, keepDamagedCopies);
    Preferences::setBool(PrefKey::AutoPostProcess, false);
    const QString main = SampleSets::makeDamagedSet(folder);
    if (main.isEmpty())
        return nullptr;
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    if (!controller || !SampleSets::waitForRunEnd(*controller))
        return nullptr;
    return controller;
}

// The row of a file listed below the separator, or -1.
int recoveryRowOf(const FileTableModel& model, const QString& name) {
    for (int row = model.separatorRow() + 1; row < model.rowCount(); ++row) {
        if (model.index(row, Column::FileColumn).data().toString() == name)
            return row;
    }
    return -1;
}

// The window through a whole repair by the real par2 with the clean-up on: the
// verdicts, then the recovery files and the damaged copy gone to the trash, and
// the window saying so instead of OK.
TEST(WindowTruthRealTest, AfterARepairAndItsCleanUpTheWindowShowsWhatIsLeft) {
    PARDocumentController documents;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("cleaned"));
    const auto controller = repairInWindow(documents, folder, true, false);
    ASSERT_NE(controller, nullptr);
    Preferences::setBool(PrefKey::AutoDeletePnn, false);
    ParWindow* window = controller->window();
    const FileTableModel* model = window->fileStatus()->fileModel();
    ASSERT_TRUE(spinUntil([&] {
        return cellOf(*model, model->separatorRow() + 1, Column::StatusColumn) ==
               localized("FileMovedToTrash");
    }));

    EXPECT_EQ(window->windowTitle(), "set.par2 (PAR 2)");
    EXPECT_EQ(window->statusLine()->text(), localized("DocStatus7"));
    EXPECT_TRUE(window->statusLine()->font().bold());
    EXPECT_EQ(window->progression()->value(), 100);
    EXPECT_TRUE(window->drawer()->text().contains(QStringLiteral("Repair complete")));
    const QStringList names = {"chapter1.txt", "chapter2.txt", "chapter10.txt",
                               "cover.jpg",    "notes.md",     "photo.raw"};
    ASSERT_EQ(model->subjectCount(), names.size());
    for (int row = 0; row < names.size(); ++row)
        EXPECT_EQ(model->subjectFileAt(row), names[row]);
    EXPECT_EQ(cellOf(*model, 1, Column::StatusColumn), localized("FileStatus9"));
    EXPECT_EQ(cellOf(*model, 5, Column::StatusColumn), localized("FileStatus9"));
    EXPECT_EQ(model->separatorRow(), names.size());
    EXPECT_GT(model->rowCount(), names.size() + 1);
    for (int row = model->separatorRow() + 1; row < model->rowCount(); ++row)
        EXPECT_EQ(cellOf(*model, row, Column::StatusColumn), localized("FileMovedToTrash"));
    EXPECT_EQ(window->par2StatisticsView()->valueOf(QStringLiteral("par2NumGoodFiles")), "6");
    // Every block the verification found missing or damaged was rebuilt.
    EXPECT_EQ(window->par2StatisticsView()->valueOf(QStringLiteral("par2NumUnavailableBlocks")),
              "0");
    EXPECT_FALSE(QFileInfo::exists(folder + "/chapter2.txt.1")) << "damaged copy";
    EXPECT_EQ(readFile(folder + "/chapter2.txt"), randomBytes(45000, 2));

    controller->validateToolbarItems();
    QAction* verifyAgain = verifyAgainItem(*controller);
    ASSERT_NE(verifyAgain, nullptr);
    EXPECT_FALSE(verifyAgain->isEnabled());
    EXPECT_EQ(verifyAgain->toolTip(), localized("RetryRecoverySetGone"));
}

// Kept as asked: the damaged copy left by the repair is listed beside the
// recovery files as what it is, with no state icon; it is no file of the set.
TEST(WindowTruthRealTest, AKeptDamagedCopyIsListedAsSuch) {
    PARDocumentController documents;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("kept"));
    const auto controller = repairInWindow(documents, folder, false, true);
    ASSERT_NE(controller, nullptr);
    Preferences::setBool(PrefKey::KeepBrokenFiles, false);

    const FileTableModel* model = controller->window()->fileStatus()->fileModel();
    int copyRow = -1;
    ASSERT_TRUE(
        spinUntil([&] { return (copyRow = recoveryRowOf(*model, "chapter2.txt.1")) >= 0; }));
    EXPECT_EQ(model->index(copyRow, Column::StatusColumn).data().toString(),
              formatString(localized("PxxFileStatusDamagedCopy"), QStringLiteral("chapter2.txt")));
    EXPECT_EQ(cellOf(*model, copyRow, Column::IconColumn, FileTableModel::IconNameRole), "");
    EXPECT_TRUE(QFileInfo::exists(folder + "/chapter2.txt.1"));
    EXPECT_EQ(model->subjectCount(), 6);
    EXPECT_EQ(
        AfterRunActions::of(*controller->document())->postProcessingRecord().keptDamagedCopies,
        QStringList{"chapter2.txt.1"});
}

// Only the damaged copy went to the trash: every file of the set is still there,
// so the set can be verified again.
TEST(WindowTruthRealTest, ATrashedDamagedCopyLeavesVerifyAgainOpen) {
    PARDocumentController documents;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("copy-trashed"));
    const auto controller = repairInWindow(documents, folder, false, false);
    ASSERT_NE(controller, nullptr);
    const FileTableModel* model = controller->window()->fileStatus()->fileModel();
    ASSERT_TRUE(spinUntil([&] {
        const int row = recoveryRowOf(*model, "chapter2.txt.1");
        return row >= 0 && model->index(row, Column::StatusColumn).data().toString() ==
                               localized("FileMovedToTrash");
    }));
    controller->validateToolbarItems();
    QAction* verifyAgain = verifyAgainItem(*controller);
    ASSERT_NE(verifyAgain, nullptr);
    EXPECT_TRUE(verifyAgain->isEnabled());
}

// A set waiting for its turn lists the files its main file names, before the
// helper has run; the run then gives each file its verdict.
TEST(WindowTruthRealTest, AWaitingSetListsItsFilesBeforeItsTurn) {
    Preferences::setBool(PrefKey::SimultaneousProcessing, false);
    Preferences::setBool(PrefKey::AutoDeletePnn, false);
    Preferences::setBool(PrefKey::AutoPostProcess, false);
    PARDocumentController documents;
    auto busy = std::make_shared<WindowTestDocument>();
    documents.addDocument(busy);
    busy->setm_PARIsRunning(RunKind::VerifyRepair);
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("waiting"));
    const QString main = SampleSets::makeDamagedSet(folder);
    ASSERT_FALSE(main.isEmpty());
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    ASSERT_NE(controller, nullptr);
    MyDocument& document = *controller->document();
    const FileTableModel* model = controller->window()->fileStatus()->fileModel();
    ASSERT_TRUE(spinUntil([&] { return model->subjectCount() == 6; }));
    EXPECT_EQ(document.m_DocumentStatus(), DocStatus::WaitingForTurn);
    EXPECT_TRUE(document.ParOutput().isEmpty()) << "the helper ran before the turn";
    EXPECT_EQ(model->subjectFileAt(5), "photo.raw") << "missing, yet listed";
    EXPECT_EQ(controller->window()->par2StatisticsView()->valueOf("par2NumTotalFiles"), "6");
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(cellOf(*model, row, Column::StatusColumn), localized("FileStatus0"));
        EXPECT_EQ(cellOf(*model, row, Column::IconColumn, FileTableModel::IconNameRole), "");
    }

    busy->setm_PARIsRunning(RunKind::None);
    documents.scheduleNextExclusiveProcessing();
    ASSERT_TRUE(SampleSets::waitForRunEnd(*controller));
    EXPECT_EQ(document.m_DocumentStatus(), DocStatus::Repaired);
    ASSERT_EQ(model->subjectCount(), 6);
    for (int row = 0; row < 6; ++row)
        EXPECT_NE(cellOf(*model, row, Column::StatusColumn), localized("FileStatus0")) << row;
    documents.removeDocument(busy.get());
}

// On a large set the helper's first report can take seconds; meanwhile the
// window lists the set's files instead of an empty table.
TEST(WindowTruthRealTest, ARunningSetListsItsFilesBeforeTheHelperReportsThem) {
    Preferences::setBool(PrefKey::AutoDeletePnn, false);
    Preferences::setBool(PrefKey::AutoPostProcess, false);
    PARDocumentController documents;
    const QString main = SampleSets::makeDamagedSet(TestEnvironment::makeFolder("slow"));
    const QString helpers = TestEnvironment::makeFolder(QStringLiteral("slow-helpers"));
    writeFile(helpers + "/par2SL",
              "#!/bin/sh\nsleep 2\nexec '" VELMORA_HELPERS_BUILD_DIR "/par2SL' \"$@\"\n");
    QFile::setPermissions(helpers + "/par2SL", QFile::ReadOwner | QFile::ExeOwner);
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    ASSERT_NE(controller, nullptr);
    qputenv("VELMORA_HELPERS_DIR", helpers.toLocal8Bit());
    MyDocument& document = *controller->document();
    const FileTableModel* model = controller->window()->fileStatus()->fileModel();
    ASSERT_TRUE(spinUntil([&] { return document.m_DocumentStatus() == DocStatus::Verifying; }));
    ASSERT_TRUE(spinUntil([&] { return model->subjectCount() == 6; }));
    EXPECT_TRUE(document.ParOutput().isEmpty()) << "listed by the helper, not from the set";
    ASSERT_TRUE(SampleSets::waitForRunEnd(*controller));
    EXPECT_EQ(document.m_DocumentStatus(), DocStatus::Repaired);
    ASSERT_EQ(model->subjectCount(), 6);
    for (int row = 0; row < 6; ++row)
        EXPECT_NE(cellOf(*model, row, Column::StatusColumn), localized("FileStatus0")) << row;
}

// par2 renames a damaged file to NAME.1 and writes NAME anew; stopped while
// writing, the file must not stay half-written under its name.
TEST(WindowTruthRealTest, AStoppedRepairLeavesNoHalfWrittenFile) {
    PARDocumentController documents;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("stopped"));
    const QByteArray original = randomBytes(48 << 20, 7);
    writeFile(folder + "/big.bin", original);
    ASSERT_EQ(runPar2In(folder, {"c", "-q", "-q", "-s1048576", "-r4", "--", "set.par2", "big.bin"}),
              0);
    damageFile(folder + "/big.bin", 1000);
    damageFile(folder + "/big.bin", 40 << 20);
    const QByteArray damaged = readFile(folder + "/big.bin");
    std::unique_ptr<ParWindowController> controller(
        SampleSets::openInWindow(documents, folder + "/set.par2"));
    ASSERT_NE(controller, nullptr);
    MyDocument& document = *controller->document();
    ASSERT_TRUE(spinUntil([&] { return QFileInfo::exists(folder + "/big.bin.1"); }, 60000));
    document.PerformAbortAction();
    EXPECT_FALSE(document.CanPerformAbortAction());
    ASSERT_TRUE(SampleSets::waitForRunEnd(*controller));

    const QByteArray left = readFile(folder + "/big.bin");
    EXPECT_TRUE(left == damaged || left == original) << "size " << left.size();
    // A repair that completed before the stop keeps the damaged original beside it.
    if (QFileInfo::exists(folder + "/big.bin.1")) {
        EXPECT_TRUE(left == original && readFile(folder + "/big.bin.1") == damaged);
    }
    if (left == damaged) {
        EXPECT_EQ(controller->window()->statusLine()->text(),
                  formatString(localized("StoppedFilesPutBack"), QStringLiteral("big.bin")));
    }
}

// The created set's rows are what par2 wrote: a file that vanished before the
// run is not in it, and each recovery volume shows its blocks.
TEST(WindowTruthRealTest, ACreatedSetListsWhatWasWritten) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    Preferences::setInteger(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Fixed);
    Preferences::setInteger(PrefKey::Par2BlockSize, 20);
    PARDocumentController documents;
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("created"));
    for (const char* name : {"a.bin", "b.bin", "gone.bin"})
        writeFile(folder + '/' + name, randomBytes(200000, 3));
    auto document = std::make_shared<PAR2Document>();
    documents.addDocument(document);
    document->addFiles({folder + "/a.bin", folder + "/b.bin", folder + "/gone.bin"});
    auto* controller = new ParWindowController(document);
    std::unique_ptr<ParWindowController> owner(controller);
    controller->showWindow();
    QFile::remove(folder + "/gone.bin");
    MyDocument::SavePanelField refused{};
    document->saveToLocation(document->panelUserEnteredFilename("made", "10", &refused));
    ASSERT_TRUE(spinUntil(
        [&] {
            return document->m_DocumentStatus() == DocStatus::Created &&
                   !document->hasLiveReaders();
        },
        60000))
        << document->ParOutput().toStdString();

    const FileTableModel* model = controller->window()->fileStatus()->fileModel();
    ASSERT_EQ(model->subjectCount(), 2);
    EXPECT_EQ(model->subjectFileAt(0), "a.bin");
    EXPECT_EQ(model->subjectFileAt(1), "b.bin");
    ASSERT_GT(model->rowCount(), model->separatorRow() + 1);
    int blocks = 0;
    for (const FileStatus& volume : document->pxxFileStatusSnapshot()) {
        EXPECT_TRUE(QFileInfo::exists(folder + '/' + volume.filename()));
        EXPECT_GT(volume.numRecoveryBlocks(), 0);
        blocks += volume.numRecoveryBlocks();
    }
    EXPECT_GT(blocks, 0);
    StatisticsPanel* panel = controller->window()->par2StatisticsView();
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumTotalFiles")), "2");
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumGoodFiles")), "2");
    EXPECT_FALSE(panel->isFieldShown(QStringLiteral("par2NumMissingBlocks")));
}

} // namespace
