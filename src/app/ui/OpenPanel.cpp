#include "OpenPanel.h"

#include "app/DocumentTypes.h"
#include "unrar/UnrarOpenPanelDelegate.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

class FileFilter : public QSortFilterProxyModel {
public:
    explicit FileFilter(bool (*shows)(const QString&)) : m_shows(shows) {}

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return m_shows(files->filePath(files->index(row, 0, parent)));
    }

private:
    bool (*m_shows)(const QString&);
};

QStringList runPanel(QWidget* parent, const QString& title, QFileDialog::FileMode mode,
                     bool (*shows)(const QString&)) {
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(mode);
    dialog.setProxyModel(new FileFilter(shows));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

QStringList OpenPanel::run(QWidget* parent) {
    return runPanel(parent, QFileDialog::tr("Open Recovery Set"), QFileDialog::ExistingFiles,
                    &DocumentTypes::shouldShowInOpenPanel);
}

QString OpenPanel::chooseArchive(QWidget* parent) {
    return runPanel(parent, QFileDialog::tr("Extract RAR Archive"), QFileDialog::ExistingFile,
                    &UnrarOpenPanelDelegate::shouldShowFilename)
        .value(0);
}
