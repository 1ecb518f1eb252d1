#include "Par2FileFixer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

// Without following a link: a dangling link is something that exists too.
bool somethingExistsAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A plain name of the folder itself: no folder part, so no link on the way can
// lead elsewhere.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

bool renameEntry(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

void Par2FileFixer::FixFilenames(const QString& folder, const FileStatusMap& fileStatus) {
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (realFolder.isEmpty())
        return;
    const QDir base(realFolder);
    for (const FileStatus& record : fileStatus) {
        if (record.fileStatus() != FileCode::FoundUnderOtherName ||
            !isPlainName(record.associatedFilename()) || !isPlainName(record.filename()) ||
            record.associatedFilename() == record.filename())
            continue;
        const QString source = base.filePath(record.associatedFilename());
        const QString destination = base.filePath(record.filename());
        if (!QFileInfo(source).isFile() || QFileInfo(source).isSymLink())
            continue;
        GetFileOutOfTheWay(destination);
        if (!somethingExistsAt(destination))
            renameEntry(source, destination);
    }
}

void Par2FileFixer::GetFileOutOfTheWay(const QString& path) {
    if (!somethingExistsAt(path))
        return;
    const auto candidate = [&](int n) { return QStringLiteral("%1.%2").arg(path).arg(n); };
    int n = 1;
    while (somethingExistsAt(candidate(n)))
        ++n;
    renameEntry(path, candidate(n));
}
