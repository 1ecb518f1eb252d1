#include "AppInfo.h"

#include <QDir>
#include <QStandardPaths>

QString AppInfo::shortVersion() {
    return QStringLiteral(VELMORA_VERSION);
}

QString AppInfo::desktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QDir(desktop).exists())
        return desktop;
    return QDir::homePath();
}
