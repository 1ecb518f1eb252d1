#include "DocumentTypes.h"

#include <QFileInfo>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool hasExtension(const QString& extension, const char* wanted) {
    return extension.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
}

} // namespace

bool DocumentTypes::isPar1VolumeExtension(const QString& extension) {
    return extension.size() == 3 &&
           (extension[0] == QLatin1Char('p') || extension[0] == QLatin1Char('P')) &&
           isAsciiDigit(extension[1]) && isAsciiDigit(extension[2]);
}

QString DocumentTypes::typeForPath(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (isPar1VolumeExtension(extension) || hasExtension(extension, "par"))
        return Par1;
    if (hasExtension(extension, "par2"))
        return Par2;
    if (hasExtension(extension, "rar"))
        return Rar;
    return QString();
}

bool DocumentTypes::shouldShowInOpenPanel(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.exists() || !info.isFile())
        return true;
    const QString extension = info.suffix();
    return hasExtension(extension, "par") || hasExtension(extension, "par2") ||
           isPar1VolumeExtension(extension);
}
