#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <sys/types.h>

// One run of a helper tool: a child process with its standard output and
// standard error on pipes, started in a given folder with a given environment.
// The pipes exist before the launch so readers can wait on them first.
class HelperProcess {
public:
    HelperProcess() = default;
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool createPipes();
    int stdOutReadEnd() const { return m_stdOut[0]; }
    int stdErrReadEnd() const { return m_stdErr[0]; }

    // Starts the program at the lowest scheduling priority. Whatever the result,
    // the parent's write ends are closed afterwards, so readers see the end of
    // their pipes once the child (if any) is gone.
    bool launch(const QString& program, const QStringList& arguments, const QString& workingFolder,
                const QStringList& environment);
    QString launchError() const { return m_launchError; }
    bool isLaunched() const { return m_pid.load() > 0; }

    struct Activity {
        // Processor time of all its threads and of the children it has waited
        // for, in clock ticks.
        int64_t cpuTicks = 0;
        // A thread is running or waiting only for a processor.
        bool runnable = false;
    };
    // Null when the process cannot be looked at (it is gone or reaped).
    std::optional<Activity> activity();
    bool hasBeenReaped();

    // Sends the interrupt signal; false when there is no process to signal.
    bool interrupt();
    // Waits for the child and returns its exit status (128 + signal when a signal
    // ended it, -1 when it never ran). A child still alive after `patience` is
    // killed: a helper that ignores the interrupt must not hang its caller.
    int waitForExit(std::chrono::milliseconds patience = std::chrono::seconds(30));

private:
    void closeWriteEnds();

    int m_stdOut[2] = {-1, -1};
    int m_stdErr[2] = {-1, -1};
    std::atomic<pid_t> m_pid{-1};
    QString m_launchError;
    std::mutex m_waitMutex;
    bool m_reaped = false;
    int m_exitStatus = -1;
};
