#include "ParApplication.h"

#include "platform/AppInfo.h"

#include <QIcon>

ParApplication::ParApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Velmora"));
    setApplicationDisplayName(QStringLiteral("Velmora"));
    setApplicationVersion(AppInfo::shortVersion());
    setDesktopFileName(AppInfo::applicationId);
    setWindowIcon(applicationIcon());
}

QIcon ParApplication::applicationIcon() {
    QIcon icon = QIcon::fromTheme(QStringLiteral("velmora"));
    if (icon.isNull()) {
        for (const char* size : {"32x32", "64x64", "256x256"})
            icon.addFile(
                QStringLiteral(":/icons/hicolor/%1/apps/velmora.png").arg(QLatin1String(size)));
    }
    return icon;
}
