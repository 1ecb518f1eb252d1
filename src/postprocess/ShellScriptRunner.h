#pragma once

#include <QString>
#include <functional>

// Runs a /bin/sh script from its source text without blocking the caller. The
// script runs in the given folder with the application's environment; its
// standard input and output are /dev/null, its standard error is kept. Whatever
// it starts in the background must let go of standard error, or the report waits
// for that program to end.
class ShellScriptRunner {
public:
    // Called on the main thread: the script's exit status (-1 when the shell
    // could not be started or was killed) and what it wrote to standard error.
    using Finished = std::function<void(int exitStatus, const QString& errorOutput)>;

    static void run(const QString& source, const QString& workingFolder, Finished finished);
};
