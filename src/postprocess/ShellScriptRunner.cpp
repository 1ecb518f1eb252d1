#include "ShellScriptRunner.h"

#include "platform/MainThread.h"
#include "platform/ThreadName.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr qsizetype kKeptErrorBytes = 16 * 1024;

pid_t spawnShell(const QString& source, const QString& workingFolder, int errorWriteEnd) {
    QByteArray shell("/bin/sh");
    QByteArray option("-c");
    QByteArray script = source.toUtf8();
    char* argv[] = {shell.data(), option.data(), script.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorWriteEnd, STDERR_FILENO);
    const QByteArray folder = QFile::encodeName(workingFolder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    pid_t pid = -1;
    const int error = posix_spawn(&pid, shell.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

QByteArray readAll(int fd) {
    QByteArray kept;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return kept;
        if (kept.size() < kKeptErrorBytes)
            kept.append(buffer, count);
    }
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

void ShellScriptRunner::run(const QString& source, const QString& workingFolder,
                            Finished finished) {
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        MainThread::post([finished = std::move(finished)] { finished(-1, QString()); });
        return;
    }
    const pid_t pid = spawnShell(source, workingFolder, errorPipe[1]);
    ::close(errorPipe[1]);
    if (pid < 0) {
        ::close(errorPipe[0]);
        MainThread::post([finished = std::move(finished)] { finished(-1, QString()); });
        return;
    }
    std::thread([pid, fd = errorPipe[0], finished = std::move(finished)]() mutable {
        setCurrentThreadName(QStringLiteral("ShellScript"));
        const QByteArray errorOutput = readAll(fd);
        ::close(fd);
        const int status = waitFor(pid);
        MainThread::post([finished = std::move(finished), status, errorOutput] {
            finished(status, QString::fromUtf8(errorOutput));
        });
    }).detach();
}
