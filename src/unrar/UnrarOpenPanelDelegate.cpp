#include "UnrarOpenPanelDelegate.h"

#include "unrar/RarVolumeNames.h"

#include <QFileInfo>

bool UnrarOpenPanelDelegate::shouldShowFilename(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return true;
    const QString extension = RarPathExtension(path);
    const bool firstVolumeExtension =
        extension.compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0 ||
        extension.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0 ||
        extension == QLatin1String("001");
    if (!firstVolumeExtension)
        return false;
    uint32_t partNumber = 0;
    const QString partField = RarPathExtension(RarPathWithoutExtension(path));
    return DeterminePartNum(partField, &partNumber) < 0 || partNumber == 1;
}
