#include "RunCommand.h"

#include "platform/FileNames.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

int spawnAndWait(const QString& folder, const QString& program, const QStringList& arguments,
                 const QByteArray& outputPath, const QByteArray& errorPath) {
    // Names that are not UTF-8 reach the program as the bytes they stand for.
    std::vector<QByteArray> storage{FileNames::encode(program)};
    for (const QString& argument : arguments)
        storage.push_back(FileNames::encode(argument));
    std::vector<char*> argv;
    for (QByteArray& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray cwd = QFile::encodeName(folder);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.constData(), flags, 0600);
    if (!errorPath.isEmpty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.constData(), flags,
                                         0600);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray takeFile(const QString& path) {
    QFile file(path);
    QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.remove();
    return content;
}

} // namespace

int runCommand(const QString& folder, const QString& program, const QStringList& arguments) {
    return spawnAndWait(folder, program, arguments, "/dev/null", QByteArray());
}

int runCommandCapturing(const QString& folder, const QString& program, const QStringList& arguments,
                        QByteArray& standardOutput, QByteArray& standardError) {
    QTemporaryDir capture;
    const QString outputPath = capture.filePath(QStringLiteral("out"));
    const QString errorPath = capture.filePath(QStringLiteral("err"));
    const int status = spawnAndWait(folder, program, arguments, QFile::encodeName(outputPath),
                                    QFile::encodeName(errorPath));
    standardOutput = takeFile(outputPath);
    standardError = takeFile(errorPath);
    return status;
}
