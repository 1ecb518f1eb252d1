#include "Par2VolumeFiles.h"

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The digits starting at `from`, up to the first other character.
qsizetype digitsFrom(const QString& text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && isAsciiDigit(text[end]))
        ++end;
    return end - from;
}

QString withoutLastExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString lastExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

int Par2VolumeFiles::FindVolPartInFilename(const QString& name) {
    const QString base = withoutLastExtension(name);
    const qsizetype vol = base.lastIndexOf(QStringLiteral("vol"), -1, Qt::CaseInsensitive);
    if (vol < 2)
        return -1;
    const qsizetype first = digitsFrom(base, vol + 3);
    const qsizetype plus = vol + 3 + first;
    if (first == 0 || plus >= base.size() || base[plus] != u'+')
        return -1;
    const qsizetype second = digitsFrom(base, plus + 1);
    return second > 0 && plus + 1 + second == base.size() ? int(vol) : -1;
}

QStringList Par2VolumeFiles::recoveryFilesOfSet(const QString& mainFileName,
                                                const QStringList& candidates) {
    const QString main = mainFileName.toLower();
    int volPart = FindVolPartInFilename(main);
    QString prefix;
    if (volPart == -1) {
        prefix = withoutLastExtension(main);
        volPart = int(prefix.size()) + 1;
    } else {
        prefix = main.left(volPart - 1);
    }
    const QString suffix = lastExtension(main);
    QStringList found;
    for (const QString& candidate : candidates) {
        const QString name = candidate.toLower();
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        const int candidateVolPart = FindVolPartInFilename(name);
        if (candidateVolPart == volPart ||
            (candidateVolPart == -1 && withoutLastExtension(name) == prefix))
            found.append(candidate);
    }
    return found;
}

void Par2VolumeFiles::DoAutoDeleteParFiles(const QString& folder, const QString& mainFileName,
                                           const QStringList& candidates) {
    if (!Preferences::boolForKey(PrefKey::AutoDeletePnn))
        return;
    for (const QString& name : recoveryFilesOfSet(mainFileName, candidates))
        Trash::moveToTrash(folder + QLatin1Char('/') + QFileInfo(name).fileName());
}

QMap<QString, int32_t> Par2VolumeFiles::recoveryVolumesWritten(const QString& mainFilePath) {
    const QFileInfo main(mainFilePath);
    const QRegularExpression volumeName(
        QStringLiteral("^%1\\.vol[0-9]+\\+([0-9]+)\\.par2$")
            .arg(QRegularExpression::escape(withoutLastExtension(main.fileName()))));
    QMap<QString, int32_t> volumes;
    for (const QFileInfo& entry : QDir(main.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = volumeName.match(entry.fileName());
        if (match.hasMatch() && !entry.isSymLink())
            volumes.insert(entry.fileName(), match.captured(1).toInt());
    }
    return volumes;
}

bool Par2VolumeFiles::RemoveStrayPnnFiles(const QString& mainFilePath) {
    const QFileInfo main(mainFilePath);
    const QRegularExpression setFile(
        QStringLiteral("^%1(\\.vol[0-9]+\\+[0-9]+)?\\.par2$")
            .arg(QRegularExpression::escape(withoutLastExtension(main.fileName()))));
    bool removedAll = true;
    const QFileInfoList entries =
        QDir(main.path())
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!setFile.match(entry.fileName()).hasMatch())
            continue;
        if (entry.isSymLink() || !entry.isFile() || !QFile::remove(entry.filePath()))
            removedAll = false;
    }
    return removedAll;
}
