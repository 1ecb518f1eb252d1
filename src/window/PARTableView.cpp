#include "PARTableView.h"

#include "document/MyDocument.h"
#include "document/UnattendedSupport.h"
#include "platform/FileNames.h"
#include "platform/StringTables.h"
#include "window/FileCellDelegate.h"
#include "window/FileTableModel.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>

PARTableView::PARTableView(QWidget* parent)
    : QTableView(parent), m_model(new FileTableModel(this)) {
    setModel(m_model);
    setItemDelegate(new FileCellDelegate(this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    setAlternatingRowColors(true);
    setCornerButtonEnabled(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    // A row fits a line of text or an icon with a little air, plus two pixels.
    const int naturalHeight = qMax(fontMetrics().height(), FileCellDelegate::kIconSize) + 4;
    verticalHeader()->setMinimumSectionSize(naturalHeight);
    verticalHeader()->setDefaultSectionSize(naturalHeight + 2);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);

    m_copyAction = addCommand(QStringLiteral("TableCopy"), QKeySequence::Copy, &PARTableView::copy);
    m_selectAllAction = addCommand(QStringLiteral("TableSelectAll"), QKeySequence::SelectAll,
                                   &PARTableView::selectAll);
    m_selectAllNonOKAction = addCommand(QStringLiteral("TableSelectAllNotOK"), QKeySequence(),
                                        &PARTableView::onSelectAllNonOK);

    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            &PARTableView::rememberSelection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &PARTableView::restoreSelection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &PARTableView::updateActions);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PARTableView::updateActions);
    updateActions();
}

QAction* PARTableView::addCommand(const QString& textKey, const QKeySequence& shortcut,
                                  void (PARTableView::*command)()) {
    auto* action = new QAction(StringTables::localized(textKey), this);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, command);
    addAction(action);
    return action;
}

// ---- Adding dropped files --------------------------------------------------

bool PARTableView::ContainsDropCandidate(const QStringList& paths) const {
    return mPARDocument != nullptr &&
           std::any_of(paths.begin(), paths.end(), [this](const QString& path) {
               return mPARDocument->CanFileBeAdded(path) == 1;
           });
}

void PARTableView::AddFiles(const QStringList& paths) {
    if (mPARDocument == nullptr || !mPARDocument->checkRoomForFiles(int(paths.size())))
        return;
    int skipped = 0;
    QStringList refused;
    for (const QString& path : paths) {
        if (mPARDocument->CanFileBeAdded(path) != 1)
            refused.append(path);
        else if (mPARDocument->m_PARIsRunning() == RunKind::None)
            skipped += mPARDocument->AddFile(path, false);
    }
    mPARDocument->UpdateUI();
    mPARDocument->reportFilesNotAdded(refused);
    if (skipped > 0)
        VLMLRunInformationalAlertPanel(
            QString(), StringTables::localized(QStringLiteral("ResourceForkWarning")), QString(),
            QString(), QString());
}

// Files may be dropped whenever they could be added through the add-files
// panel: not while a run or an extraction is going or the set waits for its turn.
bool PARTableView::acceptsDropsNow() const {
    return mPARDocument != nullptr && mPARDocument->CanPerformAddFile();
}

QStringList PARTableView::localPaths(const QMimeData* mimeData) {
    QStringList paths;
    if (mimeData == nullptr || !mimeData->hasUrls())
        return paths;
    for (const QUrl& url : mimeData->urls()) {
        if (url.isLocalFile())
            paths.append(FileNames::fromLocalFileUrl(url));
    }
    return paths;
}

bool PARTableView::offersCopyOrLink(Qt::DropActions actions) {
    return (actions & (Qt::CopyAction | Qt::LinkAction)) != 0;
}

void PARTableView::dragEnterEvent(QDragEnterEvent* event) {
    mCurrentDragOp = Qt::IgnoreAction;
    if (acceptsDropsNow() && offersCopyOrLink(event->possibleActions()) &&
        ContainsDropCandidate(localPaths(event->mimeData())))
        mCurrentDragOp =
            (event->possibleActions() & Qt::LinkAction) ? Qt::LinkAction : Qt::CopyAction;
    answerDrag(event);
}

void PARTableView::dragMoveEvent(QDragMoveEvent* event) {
    answerDrag(event);
}

// The files stay where they are: the drop is answered with a link (or a copy
// when the source offers no link), never with a move.
void PARTableView::answerDrag(QDropEvent* event) {
    if (mCurrentDragOp == Qt::IgnoreAction) {
        event->ignore();
    } else {
        event->setDropAction(mCurrentDragOp);
        event->accept();
    }
    setHighlight(mCurrentDragOp != Qt::IgnoreAction);
}

void PARTableView::dragLeaveEvent(QDragLeaveEvent* event) {
    mCurrentDragOp = Qt::IgnoreAction;
    setHighlight(false);
    event->accept();
}

void PARTableView::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (acceptsDropsNow() && offersCopyOrLink(event->possibleActions()) && !paths.isEmpty())
        AddFiles(paths);
    mCurrentDragOp = Qt::IgnoreAction;
    setHighlight(false);
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void PARTableView::setHighlight(bool highlight) {
    if (mHighlight == highlight)
        return;
    mHighlight = highlight;
    viewport()->update();
}

// ---- Drawing ---------------------------------------------------------------

void PARTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    paintSeparator(painter);
    paintEmptyHint(painter);
    if (mHighlight) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), kHighlightWidth));
        painter.setBrush(Qt::NoBrush);
        const int inset = kHighlightWidth / 2;
        painter.drawRect(viewport()->rect().adjusted(inset, inset, -inset - 1, -inset - 1));
    }
}

QString PARTableView::emptyHint() const {
    if (mPARDocument == nullptr || m_model->rowCount() != 0 ||
        !mPARDocument->fileName().isEmpty() || !mPARDocument->CanPerformAddFile())
        return QString();
    return StringTables::localized(QStringLiteral("EmptySetHint"));
}

void PARTableView::paintEmptyHint(QPainter& painter) const {
    const QString hint = emptyHint();
    if (hint.isNull())
        return;
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                     Qt::AlignCenter | Qt::TextWordWrap, hint);
}

// The separator row between the set's files and the recovery files carries a
// rule across its text columns.
void PARTableView::paintSeparator(QPainter& painter) const {
    const int row = m_model->separatorRow();
    if (row < 0)
        return;
    const QRect cells = visualRect(m_model->index(row, FileTableModel::FileColumn))
                            .united(visualRect(m_model->index(row, FileTableModel::StatusColumn)));
    if (!cells.isValid())
        return;
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    const int y = cells.center().y();
    painter.drawLine(cells.left() + 4, y, cells.right() - 4, y);
}

// ---- Selection and commands ------------------------------------------------

QStringList PARTableView::SelectedFiles() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QStringList names;
    for (int row : rows) {
        const QString name = m_model->subjectFileAt(row);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

int PARTableView::NumSelectedFiles() const {
    return int(SelectedFiles().size());
}

void PARTableView::copy() {
    const QStringList names = SelectedFiles();
    if (names.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(names.join(QLatin1Char('\n')));
}

void PARTableView::selectAll() {
    const int subjects = m_model->subjectCount();
    if (subjects == 0)
        return;
    const QItemSelection rows(m_model->index(0, 0),
                              m_model->index(subjects - 1, FileTableModel::ColumnCount - 1));
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void PARTableView::onSelectAllNonOK() {
    if (mPARDocument == nullptr)
        return;
    QItemSelection selection;
    for (int row : m_model->getNotOKFiles())
        selection.select(m_model->index(row, 0),
                         m_model->index(row, FileTableModel::ColumnCount - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool PARTableView::validateMenuItem(const QAction* item) const {
    if (mPARDocument == nullptr)
        return false;
    const bool hasRows = m_model->numberOfRowsInTableView() > 0;
    if (item == m_copyAction)
        return NumSelectedFiles() > 0;
    if (item == m_selectAllAction)
        return hasRows;
    if (item == m_selectAllNonOKAction)
        return hasRows && !mPARDocument->isWaitingForExclusiveProcessing() &&
               mPARDocument->m_PARIsRunning() == RunKind::None;
    return false;
}

void PARTableView::updateActions() {
    for (QAction* action : {m_copyAction, m_selectAllAction, m_selectAllNonOKAction})
        action->setEnabled(validateMenuItem(action));
}

void PARTableView::contextMenuEvent(QContextMenuEvent* event) {
    updateActions();
    QMenu menu(this);
    menu.addAction(m_copyAction);
    menu.addSeparator();
    menu.addAction(m_selectAllAction);
    menu.addAction(m_selectAllNonOKAction);
    menu.exec(event->globalPos());
}

// The item view's own copy takes only the current cell; these take the files.
void PARTableView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else
        QTableView::keyPressEvent(event);
}

// A new snapshot with other rows resets the model; the selection follows the
// names and the view stays where it was.
void PARTableView::rememberSelection() {
    m_selectionBeforeReset = SelectedFiles();
    m_scrollBeforeReset = verticalScrollBar()->value();
}

void PARTableView::restoreSelection() {
    QItemSelection selection;
    for (const QString& name : std::exchange(m_selectionBeforeReset, {})) {
        const int row = m_model->rowOfSubjectFile(name);
        if (row >= 0)
            selection.select(m_model->index(row, 0),
                             m_model->index(row, FileTableModel::ColumnCount - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    updateGeometries();
    verticalScrollBar()->setValue(m_scrollBeforeReset);
}
