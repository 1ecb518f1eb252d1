#include "Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <mutex>

namespace {
std::mutex trashedLock;
QSet<QString> trashedPaths;
} // namespace

bool Trash::moveToTrash(const QString& path) {
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFile::moveToTrash(path))
        return false;
    std::lock_guard guard(trashedLock);
    trashedPaths.insert(absolute);
    return true;
}

bool Trash::wasMovedToTrash(const QString& path) {
    std::lock_guard guard(trashedLock);
    return trashedPaths.contains(QFileInfo(path).absoluteFilePath());
}
