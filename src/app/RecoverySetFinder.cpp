#include "RecoverySetFinder.h"

#include "document/DocumentTypes.h"
#include "par2/Par2VolumeFiles.h"
#include "platform/FilenameSort.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <algorithm>

namespace {

// What a file's set is known by: its folder, its kind and its name without the
// volume part and extension.
QString setKey(const QFileInfo& file, const QString& type) {
    QString name = file.completeBaseName();
    if (type == DocumentTypes::Par2) {
        const int volume = Par2VolumeFiles::FindVolPartInFilename(file.fileName());
        if (volume > 0)
            name = file.fileName().left(volume - 1);
    }
    return type + QLatin1Char('\n') + file.path() + QLatin1Char('/') + name;
}

bool isVolume(const QFileInfo& file, const QString& type) {
    return type == DocumentTypes::Par2 ? Par2VolumeFiles::FindVolPartInFilename(file.fileName()) > 0
                                       : DocumentTypes::isPar1VolumeExtension(file.suffix());
}

// The main file wins over volumes; among volumes the first in name order.
bool representsBetter(const QFileInfo& candidate, const QFileInfo& current, const QString& type) {
    const bool candidateIsVolume = isVolume(candidate, type);
    if (candidateIsVolume != isVolume(current, type))
        return !candidateIsVolume;
    return FilenameSort(candidate.fileName(), current.fileName()) < 0;
}

} // namespace

QStringList RecoverySetFinder::findSets(const QString& folder, bool withSubfolders) {
    QMap<QString, QFileInfo> representatives;
    QDirIterator files(folder, QDir::Files | QDir::NoDotAndDotDot,
                       withSubfolders ? QDirIterator::Subdirectories
                                      : QDirIterator::NoIteratorFlags);
    while (files.hasNext()) {
        const QFileInfo file = files.nextFileInfo();
        const QString type = DocumentTypes::typeForPath(file.fileName());
        if (type != DocumentTypes::Par1 && type != DocumentTypes::Par2)
            continue;
        const QString key = setKey(file, type);
        const auto found = representatives.constFind(key);
        if (found == representatives.constEnd() || representsBetter(file, *found, type))
            representatives.insert(key, file);
    }
    QStringList paths;
    for (const QFileInfo& file : std::as_const(representatives))
        paths.append(file.absoluteFilePath());
    std::sort(paths.begin(), paths.end(), FilenameLess());
    return paths;
}
