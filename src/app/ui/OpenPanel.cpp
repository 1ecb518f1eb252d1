#include "OpenPanel.h"

#include "app/DocumentTypes.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

class RecoveryFileFilter : public QSortFilterProxyModel {
protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return DocumentTypes::shouldShowInOpenPanel(files->filePath(files->index(row, 0, parent)));
    }
};

} // namespace

QStringList OpenPanel::run(QWidget* parent) {
    QFileDialog dialog(parent, QFileDialog::tr("Open Recovery Set"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setProxyModel(new RecoveryFileFilter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
