#include "Par2CommandLine.h"

#include "platform/FilenameSort.h"
#include "platform/FolderEntries.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isPreferred(const QString& name, const QString& setName) {
    const QStringView fileName = QStringView(name).sliced(name.lastIndexOf(u'/') + 1);
    return fileName.startsWith(setName) && HasPreferredExtension(name);
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

// The set's own files come first; the preference is worked out once per name,
// as a folder may hold tens of thousands of them.
QStringList Par2CommandLine::makeRepairParamArray(const QString& parFilePath) {
    const QFileInfo main(parFilePath);
    const QString setName = main.completeBaseName();
    // Links are not followed and hidden files are left out: only the folder's
    // visible regular files count.
    QList<FolderEntries::Entry> entries = FolderEntries::read(main.path());
    std::vector<std::pair<bool, QString>> ranked;
    ranked.reserve(size_t(entries.size()));
    for (FolderEntries::Entry& entry : entries) {
        if (entry.regularFile && !entry.name.startsWith(u'.') &&
            !holdsControlCharacters(entry.name))
            ranked.emplace_back(!isPreferred(entry.name, setName), std::move(entry.name));
    }
    std::sort(ranked.begin(), ranked.end());
    QStringList arguments = makeFolderScanRepairParamArray(parFilePath);
    arguments.reserve(arguments.size() + qsizetype(ranked.size()));
    for (auto& [notPreferred, name] : ranked)
        arguments.append(std::move(name));
    return arguments;
}

QStringList Par2CommandLine::makeFolderScanRepairParamArray(const QString& parFilePath) {
    return {QStringLiteral("r"), QStringLiteral("--"), QFileInfo(parFilePath).fileName()};
}

QStringList Par2CommandLine::givenFiles(const QStringList& arguments) {
    return arguments.mid(arguments.indexOf(QStringLiteral("--")) + 1);
}

bool Par2CommandLine::holdsControlCharacters(const QString& name) {
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString Par2CommandLine::printableName(QString name) {
    std::replace_if(
        name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; },
        u'?');
    return name;
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
