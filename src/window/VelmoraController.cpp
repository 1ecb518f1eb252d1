#include "VelmoraController.h"

#include "document/MyDocument.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringTables.h"
#include "window/DocToolbarDelegate.h"
#include "window/FileCellDelegate.h"
#include "window/FileTableModel.h"
#include "window/OutputDrawer.h"
#include "window/PARTableView.h"
#include "window/ParWindow.h"
#include "window/ResultLine.h"
#include "window/StatisticsPanel.h"
#include "window/StatusLine.h"
#include "window/StatusTexts.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>

namespace {
constexpr int kDefaultFileColumnWidth = 320;
}

VelmoraController::VelmoraController(ParWindow* window)
    : QObject(window), m_window(window), m_table(window->fileStatus()),
      m_model(m_table->fileModel()) {
    m_layoutSaveTimer.setSingleShot(true);
    m_layoutSaveTimer.setInterval(kLayoutSaveDelayMs);
    connect(&m_layoutSaveTimer, &QTimer::timeout, this, &VelmoraController::saveLayoutNow);
    connect(window, &ParWindow::resized, this, &VelmoraController::DocumentWindowResized);
    connect(window, &ParWindow::moved, this, &VelmoraController::DocumentWindowMoved);
    connect(window->outputButton(), &QPushButton::clicked, this, &VelmoraController::ToggleDrawer);
    // The drawer also closes from its own title bar.
    connect(window->drawer()->toggleViewAction(), &QAction::toggled, this, [this](bool open) {
        updateOutputButton();
        if (!open)
            shrinkAfterDrawer();
    });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column) { fileColumnResized(column); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VelmoraController::displayStateChanged);
    updateOutputButton();
}

VelmoraController* VelmoraController::fromWindowInterface(DocumentWindowInterface* window) {
    return dynamic_cast<VelmoraController*>(window);
}

// ---- Set-up ----------------------------------------------------------------

void VelmoraController::FinishUserInterfaceSetup(MyDocument* document) {
    const int parType = StatusTexts::parTypeOf(*document);
    AddToolbarForParType(parType, document->supportCreation() && document->fileName().isEmpty());
    m_table->setDocument(document);
    m_model->setParType(parType);
    restoreSavedLayout();
    removeUnusedStatisticsPanel(parType);
    m_SaveWindowSize = true;
}

void VelmoraController::detachDocument() {
    m_table->setDocument(nullptr);
}

void VelmoraController::AddToolbarForParType(int parType, bool newSet) {
    m_TBDelegate =
        DocToolbarDelegate::CreateDocToolbarDelegate(m_window->toolbar(), parType, newSet);
}

void VelmoraController::restoreSavedLayout() {
    const QByteArray frame =
        QByteArray::fromBase64(Preferences::stringForKey(PrefKey::DocWindowFrameSize).toLatin1());
    if (!frame.isEmpty())
        m_window->restoreGeometry(frame);
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(FileTableModel::IconColumn, QHeaderView::Fixed);
    header->resizeSection(FileTableModel::IconColumn, FileCellDelegate::kIconSize + 12);
    const double width = Preferences::floatForKey(PrefKey::FileColumnWidth);
    header->resizeSection(FileTableModel::FileColumn,
                          width > 0 ? int(width) : kDefaultFileColumnWidth);
}

void VelmoraController::removeUnusedStatisticsPanel(int parType) {
    delete (parType == StatusTexts::kPar1 ? m_window->par2StatisticsView()
                                          : m_window->par1StatisticsView());
}

StatisticsPanel* VelmoraController::statisticsPanel() const {
    if (StatisticsPanel* panel = m_window->par1StatisticsView())
        return panel;
    return m_window->par2StatisticsView();
}

// ---- What the document shows -----------------------------------------------

// After an abort the table keeps showing what the run had found; it catches up
// on what it skipped at the next change it takes.
void VelmoraController::FileStatusChanged(MyDocument* document, const DocumentFileChanges& changes,
                                          const QString& emphasizeKey) {
    if (document->m_DocumentStatus() == DocStatus::Aborted) {
        m_skippedFileChanges = true;
        return;
    }
    if (std::exchange(m_skippedFileChanges, false))
        m_model->takeSnapshot(document->fileStatusSnapshot(), document->pxxFileStatusSnapshot());
    else
        m_model->applyChanges(changes);
    FileStatusUI_Update(document->statistics(), emphasizeKey);
    m_table->updateActions();
    emit displayStateChanged();
}

// The first damaged, missing or repaired file stays in view; without one the list
// follows the set's files as the helper reports them (recovery files are not
// followed). A list that arrives whole into an empty table (read from the set)
// stays at its first file. A file found under another name asks to be shown first.
void VelmoraController::FileStatusUI_Update(const StatisticsRecord& statistics,
                                            const QString& emphasizeKey) {
    statisticsPanel()->showStatistics(statistics);
    const int subjects = m_model->subjectCount();
    const int emphasized = emphasizeKey.isEmpty() ? -1 : m_model->rowOfSubjectFile(emphasizeKey);
    const int problem = m_model->firstProblemRow();
    if (emphasized >= 0)
        m_table->scrollTo(m_model->index(emphasized, FileTableModel::FileColumn));
    else if (problem >= 0)
        m_table->scrollTo(m_model->index(problem, FileTableModel::FileColumn));
    else if (subjects > m_PreviousSubjects && m_PreviousSubjects > 0)
        m_table->scrollTo(m_model->index(subjects - 1, FileTableModel::FileColumn));
    m_PreviousSubjects = subjects;
}

void VelmoraController::StatusChanged(MyDocument* document, int32_t newStatus) {
    const StatisticsRecord statistics = document->statistics();
    if (newStatus == DocStatus::ReadyToCreate)
        statisticsPanel()->showStatistics(statistics);
    if (DocStatus::isRunInProgress(newStatus) && newStatus != DocStatus::Repairing) {
        m_window->resultLine()->showResult(QString(), QString());
        m_progressClock.invalidate();
    }
    QString text =
        StatusTexts::DocumentStatusText(newStatus, StatusTexts::parTypeOf(*document), statistics);
    if (newStatus == DocStatus::Aborted)
        text = StatusTexts::StoppedText(document->filesRestoredAfterStop());
    m_window->statusLine()->showStatus(newStatus, text);
    showProgressOutcome(newStatus);
    m_table->updateActions();
    emit displayStateChanged();
}

// Shown at once: the helper may take a moment to stop.
void VelmoraController::StopRequested(MyDocument*) {
    m_window->statusLine()->showStatus(DocStatus::Idle,
                                       StringTables::localized(QStringLiteral("StatusStopping")));
    emit displayStateChanged();
    m_window->statusLine()->repaint();
    m_window->toolbar()->repaint();
}

void VelmoraController::ResultChanged(MyDocument*, const QString& text, const QString& path) {
    m_window->resultLine()->showResult(text, path);
}

// The bar ends in the status line's colour, so success and failure look
// different; while a run goes it has the palette's own.
void VelmoraController::showProgressOutcome(int32_t status) {
    QProgressBar* bar = m_window->progression();
    QPalette colours = QApplication::palette();
    const QColor outcome = StatusLine::colourFor(DocStatus::displayClass(status), colours);
    if (outcome.isValid() && !DocStatus::isRunInProgress(status))
        colours.setColor(QPalette::Highlight, outcome);
    bar->setPalette(colours);
}

void VelmoraController::ProgressionChanged(MyDocument*, int32_t newProgression) {
    QProgressBar* bar = m_window->progression();
    if (newProgression < 0) {
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        return;
    }
    const int percent = qBound(0, int(newProgression), 100);
    if (!m_progressClock.isValid() && percent < 100)
        m_progressClock.start();
    // A progress bar repaints itself at once on each new value; held back, it
    // is painted once, with the rest of the window.
    bar->setUpdatesEnabled(false);
    bar->setRange(0, 100);
    bar->setValue(percent);
    bar->setTextVisible(true);
    bar->setFormat(StatusTexts::ProgressText(
        percent, m_progressClock.isValid() ? m_progressClock.elapsed() : 0));
    bar->setUpdatesEnabled(true);
}

void VelmoraController::ParOutputChanged(MyDocument*, const QString& output) {
    m_window->drawer()->replaceText(output);
}

void VelmoraController::ParOutputAppended(MyDocument*, const QString& addedText) {
    m_window->drawer()->appendText(addedText);
}

void VelmoraController::RefreshUI() {
    m_window->update();
    emit displayStateChanged();
}

// ---- Selection -------------------------------------------------------------

QStringList VelmoraController::SelectedFiles() const {
    return m_table->SelectedFiles();
}

int VelmoraController::NumSelectedFiles() const {
    return m_table->NumSelectedFiles();
}

void VelmoraController::NoSelection() {
    m_table->clearSelection();
}

QList<int> VelmoraController::getNotOKFiles() const {
    return m_model->getNotOKFiles();
}

// ---- Window ----------------------------------------------------------------

// The window keeps its close button; a close request is refused while the
// button is meant to be disabled.
void VelmoraController::setCloseButtonEnabled(bool enabled) {
    m_closeButtonEnabled = enabled;
    emit displayStateChanged();
}

void VelmoraController::showWindows() {
    m_window->show();
    m_window->raise();
}

void VelmoraController::ToggleDrawer() {
    OutputDrawer* drawer = m_window->drawer();
    if (IsDrawerOpen()) {
        drawer->hide();
        return;
    }
    const int width =
        std::exchange(isFirstDrawerOpen, false) ? kFirstDrawerWidth : drawer->widget()->width();
    growForDrawer(width);
    drawer->show();
    m_window->resizeDocks({drawer}, {width}, Qt::Horizontal);
}

// Like a drawer, the panel opens beside the table instead of taking its room:
// the window grows by its width and gives that back when it closes.
void VelmoraController::growForDrawer(int drawerWidth) {
    if (m_window->isMaximized() || m_window->isFullScreen())
        return;
    saveLayoutNow();
    m_drawerGrowth = drawerWidth + kDrawerFrameWidth;
    m_window->resize(m_window->width() + m_drawerGrowth, m_window->height());
}

void VelmoraController::shrinkAfterDrawer() {
    const int growth = std::exchange(m_drawerGrowth, 0);
    if (growth == 0 || m_window->isMaximized() || m_window->isFullScreen())
        return;
    m_window->resize(m_window->width() - growth, m_window->height());
}

bool VelmoraController::IsDrawerOpen() const {
    return !m_window->drawer()->isHidden();
}

void VelmoraController::updateOutputButton() {
    m_window->outputButton()->setText(
        StringTables::localized(IsDrawerOpen() ? QStringLiteral("MenuTextHideParOutput")
                                               : QStringLiteral("MenuTextShowParOutput")));
}

// ---- Saved frame and column width ------------------------------------------

void VelmoraController::DocumentWindowResized() {
    DocumentWindowMoved();
}

void VelmoraController::DocumentWindowMoved() {
    if (!m_SaveWindowSize)
        return;
    m_frameChanged = true;
    m_layoutSaveTimer.start();
}

void VelmoraController::fileColumnResized(int column) {
    if (!m_SaveWindowSize || column != FileTableModel::FileColumn)
        return;
    m_fileColumnChanged = true;
    m_layoutSaveTimer.start();
}

// A frame that holds the open drawer waits until the drawer closes: the next
// window would open that much wider without it.
void VelmoraController::saveLayoutNow() {
    m_layoutSaveTimer.stop();
    if (m_drawerGrowth == 0 && std::exchange(m_frameChanged, false))
        Preferences::setString(PrefKey::DocWindowFrameSize,
                               QString::fromLatin1(m_window->saveGeometry().toBase64()));
    if (std::exchange(m_fileColumnChanged, false))
        Preferences::setFloat(PrefKey::FileColumnWidth,
                              m_table->columnWidth(FileTableModel::FileColumn));
}

void VelmoraController::documentDidClose() {
    emit documentClosed();
}
