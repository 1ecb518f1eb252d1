#pragma once

#include <QFileDialog>
#include <QSortFilterProxyModel>
#include <memory>

class MyDocument;

// Shows only the entries the document can take: files it would add and the
// folders on the way to the folder of its files (CanFileBeAdded not 0).
class AddableFilesFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    AddableFilesFilter(const std::shared_ptr<MyDocument>& document, QObject* parent);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::weak_ptr<MyDocument> m_document;
};

// The add-files panel of a set being built: several files at once, starting in
// the folder of the set's files, window-modal over the document window. The
// document learns the outcome through addFilesPanelDidEnd. It deletes itself
// when it ends.
class AddFilesPanel : public QFileDialog {
    Q_OBJECT

public:
    AddFilesPanel(const std::shared_ptr<MyDocument>& document, QWidget* window);

private:
    void panelDidEnd(int result);

    std::weak_ptr<MyDocument> m_document;
};
