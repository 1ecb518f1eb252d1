#include "DesktopWorkspace.h"

#include "platform/FileManagerReveal.h"
#include "postprocess/DesktopApplications.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void DesktopWorkspace::revealInFileManager(const QString& path) {
    if (FileManagerReveal::showItem(path))
        return;
    const QFileInfo info(path);
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}

bool DesktopWorkspace::openFile(const QString& path) {
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopWorkspace::openFileWithApplication(const QString& path, const QString& application) {
    const auto program = DesktopApplications::forRule(application, path);
    if (!program || !QFileInfo::exists(path))
        return false;
    const QStringList command = DesktopApplications::commandLine(*program, path);
    return QProcess::startDetached(command.first(), command.mid(1), QFileInfo(path).absolutePath());
}

QString DesktopWorkspace::fullPathForApplication(const QString& application,
                                                 const QString& filePath) {
    const auto program = DesktopApplications::forRule(application, filePath);
    return program ? DesktopApplications::executablePath(*program) : QString();
}

bool DesktopWorkspace::openURL(const QString& url) {
    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    const bool known = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                       scheme == QLatin1String("mailto");
    if (!address.isValid() || !known)
        return false;
    return QDesktopServices::openUrl(address);
}
