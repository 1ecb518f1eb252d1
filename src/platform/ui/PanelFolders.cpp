#include "PanelFolders.h"

#include "platform/Preferences.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

QString PanelFolders::startFolder(const QString& preferred) {
    if (isFolder(preferred))
        return preferred;
    const QString last = Preferences::stringForKey(kLastFolderKey);
    return isFolder(last) ? last : QDir::homePath();
}

void PanelFolders::setUp(QFileDialog& dialog, const QString& preferred) {
    dialog.setDirectory(startFolder(preferred));
    QObject::connect(&dialog, &QDialog::accepted, &dialog, [&dialog] {
        Preferences::setString(kLastFolderKey, dialog.directory().absolutePath());
    });
}
