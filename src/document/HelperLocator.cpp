#include "HelperLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString HelperLocator::helpersFolder() {
    const QString overridden = qEnvironmentVariable("VELMORA_HELPERS_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../libexec/velmora"));
}

QString HelperLocator::pathOf(const QString& toolName) {
    return helpersFolder() + QLatin1Char('/') + toolName;
}

QString HelperLocator::problemWith(const QString& toolName) {
    const QFileInfo info(pathOf(toolName));
    if (!info.exists())
        return QStringLiteral("%1 does not exist").arg(info.filePath());
    if (!info.isFile() || !info.isExecutable())
        return QStringLiteral("%1 is not an executable file").arg(info.filePath());
    return QString();
}
