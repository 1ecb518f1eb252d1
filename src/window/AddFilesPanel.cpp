#include "AddFilesPanel.h"

#include "document/MyDocument.h"
#include "platform/StringTables.h"
#include "platform/ui/PanelFolders.h"

#include <QFileSystemModel>

AddableFilesFilter::AddableFilesFilter(const std::shared_ptr<MyDocument>& document, QObject* parent)
    : QSortFilterProxyModel(parent), m_document(document) {}

bool AddableFilesFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    const std::shared_ptr<MyDocument> document = m_document.lock();
    if (files == nullptr || !document)
        return false;
    return document->CanFileBeAdded(files->filePath(files->index(sourceRow, 0, sourceParent))) != 0;
}

AddFilesPanel::AddFilesPanel(const std::shared_ptr<MyDocument>& document, QWidget* window)
    : QFileDialog(window, StringTables::localized(QStringLiteral("AddFilesPanelTitle"))),
      m_document(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The proxy model needs the dialog of Qt's own making.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setProxyModel(new AddableFilesFilter(document, this));
    setLabelText(QFileDialog::Accept,
                 StringTables::localized(QStringLiteral("AddFilesPanelButton")));
    setNameFilter(StringTables::localized(QStringLiteral("AddFilesPanelFilter")));
    setOption(QFileDialog::HideNameFilterDetails);
    PanelFolders::setUp(*this, document->chosenDirectory());
    setWindowModality(window != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    connect(this, &QDialog::finished, this, &AddFilesPanel::panelDidEnd);
}

void AddFilesPanel::panelDidEnd(int result) {
    if (const std::shared_ptr<MyDocument> document = m_document.lock())
        document->addFilesPanelDidEnd(result == QDialog::Accepted ? selectedFiles()
                                                                  : QStringList());
}
