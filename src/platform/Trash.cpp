#include "Trash.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

bool Trash::moveToTrash(const QString& path) {
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(path);
}
