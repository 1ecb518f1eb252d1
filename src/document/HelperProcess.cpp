#include "HelperProcess.h"

#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLowestPriority = 19;

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Keeps the byte strings alive for the char* array that posix_spawn wants.
class CStringArray {
public:
    explicit CStringArray(const QStringList& items) {
        for (const QString& item : items)
            m_storage.push_back(FileNames::encode(item));
        for (QByteArray& bytes : m_storage)
            m_pointers.push_back(bytes.data());
        m_pointers.push_back(nullptr);
    }
    char* const* data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_storage;
    std::vector<char*> m_pointers;
};

// Indexes into the fields of a /proc stat line after the command name.
constexpr int kState = 0;
constexpr int kUserTime = 11;
constexpr int kChildrenSystemTime = 14;

// The command name ends with the last ')' and may itself hold spaces and
// parentheses, so the fields are counted from there.
std::optional<QList<QByteArray>> statFields(const QString& path) {
    QFile stat(path);
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    if (fields.size() <= kChildrenSystemTime)
        return std::nullopt;
    return fields;
}

int statusFromWait(int waitStatus) {
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return -1;
}

} // namespace

HelperProcess::~HelperProcess() {
    closeWriteEnds();
    closeFd(m_stdOut[0]);
    closeFd(m_stdErr[0]);
    if (isLaunched())
        waitForExit(std::chrono::seconds(5));
}

bool HelperProcess::createPipes() {
    return ::pipe2(m_stdOut, O_CLOEXEC) == 0 && ::pipe2(m_stdErr, O_CLOEXEC) == 0;
}

void HelperProcess::closeWriteEnds() {
    closeFd(m_stdOut[1]);
    closeFd(m_stdErr[1]);
}

bool HelperProcess::launch(const QString& program, const QStringList& arguments,
                           const QString& workingFolder, const QStringList& environment) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, m_stdOut[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, m_stdErr[1], STDERR_FILENO);
    const QByteArray folder = FileNames::encode(workingFolder);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());

    const QByteArray path = FileNames::encode(program);
    CStringArray argv(QStringList(program) + arguments);
    CStringArray envp(environment);
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    // Published before the write ends close: a reader that sees the end of its
    // pipe can then tell a failed launch from a finished run.
    m_pid = error == 0 ? pid : -1;
    closeWriteEnds();
    if (error != 0) {
        m_launchError = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    setpriority(PRIO_PROCESS, id_t(pid), kLowestPriority);
    return true;
}

std::optional<HelperProcess::Activity> HelperProcess::activity() {
    const pid_t pid = m_pid.load();
    // Once reaped, the number may already belong to another process.
    if (pid <= 0 || hasBeenReaped())
        return std::nullopt;
    const std::optional<QList<QByteArray>> process =
        statFields(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!process)
        return std::nullopt;
    Activity activity;
    for (int field = kUserTime; field <= kChildrenSystemTime; ++field)
        activity.cpuTicks += (*process)[field].toLongLong();
    // The process line shows the state of its first thread only.
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto thread = statFields(tasks + QLatin1Char('/') + task + QStringLiteral("/stat"));
        activity.runnable = activity.runnable || (thread && (*thread)[kState] == "R");
    }
    return activity;
}

bool HelperProcess::hasBeenReaped() {
    std::lock_guard guard(m_waitMutex);
    return m_reaped;
}

bool HelperProcess::interrupt() {
    std::lock_guard guard(m_waitMutex);
    if (!isLaunched() || m_reaped)
        return false;
    return ::kill(m_pid.load(), SIGINT) == 0;
}

int HelperProcess::waitForExit(std::chrono::milliseconds patience) {
    std::lock_guard guard(m_waitMutex);
    if (!isLaunched() || m_reaped)
        return m_exitStatus;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    int waitStatus = 0;
    const pid_t pid = m_pid.load();
    for (;;) {
        const pid_t done = ::waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &waitStatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_reaped = true;
    m_exitStatus = statusFromWait(waitStatus);
    return m_exitStatus;
}
