#include "DesktopWorkspace.h"

#include "platform/FileManagerReveal.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void DesktopWorkspace::revealInFileManager(const QString& path) {
    if (FileManagerReveal::showItem(path))
        return;
    const QFileInfo info(path);
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}
