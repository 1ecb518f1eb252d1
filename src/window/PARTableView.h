#pragma once

#include <QStringList>
#include <QTableView>

class FileTableModel;
class MyDocument;
class QMimeData;

// The table of a set's files. Files dropped on it are added to a set being
// built; it copies the selected names and selects the files that are not OK.
// Its model keeps the rows' order; the selection follows the names when a
// new snapshot changes the rows.
class PARTableView : public QTableView {
    Q_OBJECT

public:
    static constexpr int kHighlightWidth = 5;

    explicit PARTableView(QWidget* parent = nullptr);

    // The document that decides which files may be added; null detaches.
    void setDocument(MyDocument* document) { mPARDocument = document; }
    FileTableModel* fileModel() const { return m_model; }

    // Whether one of the paths can be added to the document.
    bool ContainsDropCandidate(const QStringList& paths) const;
    void AddFiles(const QStringList& paths);

    // The selected files of the set, in row order.
    QStringList SelectedFiles() const;
    int NumSelectedFiles() const;

    void copy();
    void onSelectAllNonOK();
    void selectAll() override;

    QAction* copyAction() const { return m_copyAction; }
    QAction* selectAllAction() const { return m_selectAllAction; }
    QAction* selectAllNonOKAction() const { return m_selectAllNonOKAction; }
    bool validateMenuItem(const QAction* item) const;
    // Enables the table's own commands for the current state.
    void updateActions();

    bool isDropHighlighted() const { return mHighlight; }
    // The invitation drawn over the empty table of a new set; null when none.
    QString emptyHint() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QAction* addCommand(const QString& textKey, const QKeySequence& shortcut,
                        void (PARTableView::*command)());
    static QStringList localPaths(const QMimeData* mimeData);
    static bool offersCopyOrLink(Qt::DropActions actions);
    bool acceptsDropsNow() const;
    void answerDrag(QDropEvent* event);
    void setHighlight(bool highlight);
    void paintSeparator(QPainter& painter) const;
    void paintEmptyHint(QPainter& painter) const;
    void rememberSelection();
    void restoreSelection();

    FileTableModel* m_model;
    MyDocument* mPARDocument = nullptr;
    bool mHighlight = false;
    Qt::DropAction mCurrentDragOp = Qt::IgnoreAction;
    QAction* m_copyAction;
    QAction* m_selectAllAction;
    QAction* m_selectAllNonOKAction;
    QStringList m_selectionBeforeReset;
    int m_scrollBeforeReset = 0;
};
