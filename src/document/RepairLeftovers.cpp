#include "RepairLeftovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool finished(int32_t code) {
    return code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
           code == FileCode::Repaired || code == FileCode::NotExamined ||
           code == FileCode::ToBeProtected;
}

} // namespace

QStringList RepairLeftovers::namesInFolder(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

bool RepairLeftovers::isRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

// The newest copy wins when a run made several (it never should).
QString RepairLeftovers::copyMadeOf(const QString& folder, const QStringList& before,
                                    const QString& name) {
    const QRegularExpression copyName(
        QStringLiteral("^%1\\.([0-9]+|bad[0-9]*)$").arg(QRegularExpression::escape(name)));
    QString newest;
    for (const QString& candidate : namesInFolder(folder)) {
        if (before.contains(candidate) || !copyName.match(candidate).hasMatch() ||
            !isRegularFile(folder + u'/' + candidate))
            continue;
        if (newest.isNull() || candidate.size() > newest.size() ||
            (candidate.size() == newest.size() && candidate > newest))
            newest = candidate;
    }
    return newest;
}

QStringList RepairLeftovers::damagedCopies(const QString& folder, const QStringList& before,
                                           const QStringList& fileNames) {
    QStringList copies;
    for (const QString& name : fileNames) {
        if (const QString copy = copyMadeOf(folder, before, name); !copy.isNull())
            copies.append(copy);
    }
    return copies;
}

QStringList RepairLeftovers::restoreUnfinished(const QString& folder, const QStringList& before,
                                               const FileStatusMap& files) {
    QStringList restored;
    for (const FileStatus& record : files) {
        if (finished(record.fileStatus()))
            continue;
        const QString name = record.filename();
        const QString path = folder + u'/' + name;
        const QString copy = copyMadeOf(folder, before, name);
        if (!copy.isNull()) {
            if (isRegularFile(path))
                QFile::remove(path);
            if (QFile::rename(folder + u'/' + copy, path))
                restored.append(name);
        } else if (!before.contains(name) && isRegularFile(path) && QFile::remove(path)) {
            restored.append(name);
        }
    }
    return restored;
}
