#include "ParApplication.h"

#include "platform/AppInfo.h"

ParApplication::ParApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Velmora"));
    setApplicationDisplayName(QStringLiteral("Velmora"));
    setApplicationVersion(AppInfo::shortVersion());
    setDesktopFileName(QStringLiteral("velmora"));
}
