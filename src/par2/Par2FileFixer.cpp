#include "Par2FileFixer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Without following a link: a dangling link is something that exists too.
bool somethingExistsAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The path of `name` inside `folder`, or empty when the name would leave it.
QString pathInside(const QString& folder, const QString& name) {
    const QString base = QDir::cleanPath(folder);
    const QString path = QDir::cleanPath(base + QLatin1Char('/') + name);
    return !name.isEmpty() && path.startsWith(base + QLatin1Char('/')) ? path : QString();
}

} // namespace

void Par2FileFixer::FixFilenames(const QString& folder, const FileStatusMap& fileStatus) {
    for (const FileStatus& record : fileStatus) {
        if (record.fileStatus() != FileCode::FoundUnderOtherName)
            continue;
        const QString source = pathInside(folder, record.associatedFilename());
        const QString destination = pathInside(folder, record.filename());
        if (source.isEmpty() || destination.isEmpty() || source == destination)
            continue;
        GetFileOutOfTheWay(destination);
        QFile::rename(source, destination);
    }
}

void Par2FileFixer::GetFileOutOfTheWay(const QString& path) {
    if (!somethingExistsAt(path))
        return;
    const auto candidate = [&](int n) { return QStringLiteral("%1.%2").arg(path).arg(n); };
    int n = 1;
    while (somethingExistsAt(candidate(n)))
        ++n;
    QFile::rename(path, candidate(n));
}
