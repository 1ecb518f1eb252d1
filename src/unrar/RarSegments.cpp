#include "RarSegments.h"

#include "RarVolumeNames.h"
#include "platform/Trash.h"

#include <QFile>
#include <QFileInfo>

QStringList RarVolumeChain(const QString& volumePath) {
    QStringList chain;
    chain.reserve(100);
    for (QString volume = volumePath; !volume.isNull(); volume = GetNextRARFilename(volume))
        chain.append(volume);
    return chain;
}

void TrashRarSegments(const QStringList& volumes) {
    for (const QString& volume : volumes)
        Trash::moveToTrash(volume);
}

void PermanentlyDeleteRarSegments(const QStringList& volumes) {
    for (const QString& volume : volumes) {
        const QFileInfo entry(volume);
        if (entry.isFile() && !entry.isSymLink())
            QFile::remove(volume);
    }
}
