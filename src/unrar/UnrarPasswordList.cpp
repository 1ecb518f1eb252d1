#include "UnrarPasswordList.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kLargestFile = 1024 * 1024;

std::mutex candidatesLock;
QStringList storedCandidates;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Reads the whole file from the descriptor whose permissions were checked, so
// the file cannot be swapped between the check and the read.
std::optional<QByteArray> readChecked(int fd, const QString& path, QString* problem) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *problem = QStringLiteral("%1: %2").arg(path, systemError());
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        *problem = QStringLiteral("%1 is not a regular file").arg(path);
        return std::nullopt;
    }
    if (info.st_uid != ::geteuid() || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        *problem = QStringLiteral("%1 must belong to you and be private (chmod 600), since it "
                                  "holds passwords")
                       .arg(path);
        return std::nullopt;
    }
    if (info.st_size > kLargestFile) {
        *problem = QStringLiteral("%1 is too large for a password file").arg(path);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        *problem = QStringLiteral("%1 cannot be read").arg(path);
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

std::optional<QStringList> UnrarPasswordList::readPasswordFile(const QString& path,
                                                               QString* problem) {
    QString ignored;
    if (problem == nullptr)
        problem = &ignored;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *problem = QStringLiteral("%1: %2").arg(path, systemError());
        return std::nullopt;
    }
    const std::optional<QByteArray> content = readChecked(fd, path, problem);
    ::close(fd);
    if (!content)
        return std::nullopt;
    QStringList passwords;
    for (QByteArray line : content->split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            passwords.append(QString::fromUtf8(line));
    }
    return passwords;
}

void UnrarPasswordList::setCandidates(const QStringList& passwords) {
    std::lock_guard guard(candidatesLock);
    storedCandidates = passwords;
}

QStringList UnrarPasswordList::candidates() {
    std::lock_guard guard(candidatesLock);
    return storedCandidates;
}
