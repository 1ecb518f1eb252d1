#include "Par1VolumeFiles.h"

#include "par1/Par1CommandLine.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

QString withoutExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) ? path.left(dot) : path;
}

QString volumeName(const QString& base, QChar letter, int number) {
    return base + QLatin1Char('.') + letter +
           QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// Whether the path can be made free; a path that holds nothing is free already.
bool removeStrayVolume(const QString& path, const QStringList& subjectFiles) {
    struct stat attributes {};
    if (::lstat(QFile::encodeName(path).constData(), &attributes) != 0)
        return true;
    if (!S_ISREG(attributes.st_mode) || subjectFiles.contains(QFileInfo(path).fileName()))
        return false;
    return QFile::remove(path);
}

} // namespace

bool Par1VolumeFiles::RemoveStrayPnnFiles(const QString& mainFilePath, int volumeCount,
                                          const QStringList& subjectFiles) {
    const QString base = withoutExtension(mainFilePath);
    bool removedAll = true;
    for (int number = 1; number <= volumeCount; ++number)
        removedAll = removeStrayVolume(volumeName(base, u'P', number), subjectFiles) && removedAll;
    return removedAll;
}

QStringList Par1VolumeFiles::namesToDeleteAfterRepair(const QString& mainFileName,
                                                      const QStringList& recoveryFiles,
                                                      const QStringList& subjectFiles) {
    const QString base = withoutExtension(QFileInfo(mainFileName).fileName());
    QStringList names = QStringList{QFileInfo(mainFileName).fileName()} + recoveryFiles;
    for (int number = 1; number <= Par1CommandLine::kMaxVolumes; ++number)
        names << volumeName(base, u'p', number) << volumeName(base, u'P', number);
    names << base + QStringLiteral(".par") << base + QStringLiteral(".PAR");
    names.removeDuplicates();
    names.removeIf([&](const QString& name) { return subjectFiles.contains(name); });
    return names;
}
