#include "RepairLeftovers.h"

#include "platform/FolderEntries.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

bool finished(int32_t code) {
    return code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
           code == FileCode::Repaired || code == FileCode::NotExamined ||
           code == FileCode::ToBeProtected;
}

} // namespace

QStringList RepairLeftovers::namesInFolder(const QString& folder) {
    QStringList names;
    for (FolderEntries::Entry& entry : FolderEntries::read(folder))
        names.append(std::move(entry.name));
    return names;
}

bool RepairLeftovers::isRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

// The newest copy wins when a run made several (it never should).
QHash<QString, QString> RepairLeftovers::copiesMade(const QString& folder,
                                                    const QStringList& before) {
    static const QRegularExpression copySuffix(QStringLiteral("^([0-9]+|bad[0-9]*)$"));
    const QSet<QString> earlier(before.cbegin(), before.cend());
    QHash<QString, QString> newest;
    for (const QString& candidate : namesInFolder(folder)) {
        const qsizetype dot = candidate.lastIndexOf(u'.');
        if (dot <= 0 || earlier.contains(candidate) ||
            !copySuffix.match(QStringView(candidate).sliced(dot + 1)).hasMatch() ||
            !isRegularFile(folder + u'/' + candidate))
            continue;
        QString& copy = newest[candidate.first(dot)];
        if (copy.isNull() || candidate.size() > copy.size() ||
            (candidate.size() == copy.size() && candidate > copy))
            copy = candidate;
    }
    return newest;
}

QMap<QString, QString> RepairLeftovers::damagedCopies(const QString& folder,
                                                      const QStringList& before,
                                                      const QStringList& fileNames) {
    const QHash<QString, QString> made = copiesMade(folder, before);
    QMap<QString, QString> copies;
    for (const QString& name : fileNames) {
        if (const QString copy = made.value(name); !copy.isNull())
            copies.insert(copy, name);
    }
    return copies;
}

QStringList RepairLeftovers::restoreUnfinished(const QString& folder, const QStringList& before,
                                               const FileStatusMap& files) {
    const QHash<QString, QString> made = copiesMade(folder, before);
    const QSet<QString> earlier(before.cbegin(), before.cend());
    QStringList restored;
    for (const FileStatus& record : files) {
        if (finished(record.fileStatus()))
            continue;
        const QString name = record.filename();
        const QString path = folder + u'/' + name;
        const QString copy = made.value(name);
        if (!copy.isNull()) {
            if (isRegularFile(path))
                QFile::remove(path);
            if (QFile::rename(folder + u'/' + copy, path))
                restored.append(name);
        } else if (!earlier.contains(name) && isRegularFile(path) && QFile::remove(path)) {
            restored.append(name);
        }
    }
    return restored;
}
