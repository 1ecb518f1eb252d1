#include "OpenPanel.h"

#include "document/DocumentTypes.h"
#include "platform/ui/PanelFolders.h"
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

// The filter's pattern only names the files the proxy model lets through; the
// user sees its label.
QStringList runPanel(QWidget* parent, const QString& title, const QString& filterLabel,
                     QFileDialog::FileMode mode, bool (*shows)(const QString&),
                     const QString& folder) {
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(mode);
    dialog.setNameFilter(filterLabel + QStringLiteral(" (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setProxyModel(new FileFilter(shows));
    PanelFolders::setUp(dialog, folder);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

QStringList OpenPanel::run(QWidget* parent, const QString& folder) {
    return runPanel(parent, QFileDialog::tr("Open Recovery Set"),
                    QFileDialog::tr("Recovery sets and RAR archives"), QFileDialog::ExistingFiles,
                    &DocumentTypes::shouldShowInOpenPanel, folder);
}

QString OpenPanel::chooseArchive(QWidget* parent, const QString& folder) {
    return runPanel(parent, QFileDialog::tr("Extract RAR Archive"), QFileDialog::tr("RAR archives"),
                    QFileDialog::ExistingFile, &UnrarOpenPanelDelegate::shouldShowFilename, folder)
        .value(0);
}
