#include "TestFiles.h"

#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace TestFiles {

QByteArray randomBytes(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(FileNames::encode(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

QString writeFile(const QString& folder, const QString& name, const QByteArray& content) {
    const QString path = folder + QLatin1Char('/') + name;
    writeFile(path, content);
    return path;
}

bool writeExecutable(const QString& path, const QByteArray& content) {
    return writeFile(path, content) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray readFile(const QString& path) {
    QFile file(QFile::decodeName(FileNames::encode(path)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList trashedNames() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/Trash/files"))
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace TestFiles
