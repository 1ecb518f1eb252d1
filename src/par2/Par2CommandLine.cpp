#include "Par2CommandLine.h"

#include "app/FilenameSort.h"
#include "platform/Preferences.h"
#include "preferences/PreferenceKeys.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isPreferred(const QString& name, const QString& setName) {
    return QFileInfo(name).fileName().startsWith(setName) && HasPreferredExtension(name);
}

} // namespace

int CompareExtraFiles(const QString& a, const QString& b, const QString& mainFileName) {
    const QString setName = QFileInfo(mainFileName).completeBaseName();
    const bool aPreferred = isPreferred(a, setName);
    const bool bPreferred = isPreferred(b, setName);
    if (aPreferred != bPreferred)
        return aPreferred ? -1 : 1;
    return a.compare(b, Qt::CaseSensitive);
}

bool HasPreferredExtension(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.compare(QStringLiteral("par"), Qt::CaseInsensitive) == 0)
        return false;
    const bool par1Volume = extension.size() == 3 &&
                            (extension[0] == u'p' || extension[0] == u'P') &&
                            isAsciiDigit(extension[1]) && isAsciiDigit(extension[2]);
    return !par1Volume;
}

QStringList Par2CommandLine::makeRepairParamArray(const QString& parFilePath) {
    const QFileInfo main(parFilePath);
    // Links are not followed: only regular files count.
    QStringList extraFiles =
        QDir(main.path()).entryList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    std::sort(extraFiles.begin(), extraFiles.end(), [&](const QString& a, const QString& b) {
        return CompareExtraFiles(a, b, main.fileName()) < 0;
    });
    return QStringList{QStringLiteral("r"), QStringLiteral("--"), main.fileName()} + extraFiles;
}

QStringList Par2CommandLine::makeCreateParamArray(const QString& parFilePath,
                                                  QStringList subjectFiles, int32_t redundancy) {
    QStringList arguments{QStringLiteral("c")};
    if (Preferences::integerForKey(PrefKey::Par2BlockSizeChoice) == BlockSizeChoiceValue::Fixed)
        arguments.append(QStringLiteral("-s%1").arg(
            qint64(Preferences::integerForKey(PrefKey::Par2BlockSize)) * 1024));
    arguments.append(QStringLiteral("-r%1").arg(std::clamp(redundancy, 1, 100)));
    if (Preferences::boolForKey(PrefKey::Par2LimitFileSize))
        arguments.append(QStringLiteral("-l"));
    std::sort(subjectFiles.begin(), subjectFiles.end(), FilenameLess());
    return arguments + QStringList{QStringLiteral("--"), QFileInfo(parFilePath).fileName()} +
           subjectFiles;
}
