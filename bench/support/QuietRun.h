#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Runs the command in folder with its output discarded and answers what it used. A status
// other than the accepted ones ends the benchmark: its figures would mean nothing.
inline rusage runQuietly(const std::filesystem::path& folder,
                         const std::vector<std::string>& command,
                         const std::vector<int>& accepted = {0}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv;
    for (const std::string& part : command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = -1;
    rusage usage{};
    if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        ::wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) ||
        std::find(accepted.begin(), accepted.end(), WEXITSTATUS(status)) == accepted.end()) {
        std::fprintf(stderr, "%s %s failed (status %d)\n", command[0].c_str(),
                     command.size() > 1 ? command[1].c_str() : "", status);
        std::exit(1);
    }
    return usage;
}
