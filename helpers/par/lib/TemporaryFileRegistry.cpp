#include "TemporaryFileRegistry.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora::par1 {
namespace {

std::recursive_mutex& registryMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

std::vector<std::filesystem::path>& registeredPaths() {
    static std::vector<std::filesystem::path> paths;
    return paths;
}

sigset_t terminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGPIPE);
    return signals;
}

// Removes the files, then lets the signal end the process as it would have.
[[noreturn]] void waitForTermination(sigset_t signals) {
    int signalNumber = SIGTERM;
    sigwait(&signals, &signalNumber);
    registryMutex().lock();
    for (const std::filesystem::path& path : registeredPaths())
        ::unlink(path.c_str());
    std::signal(signalNumber, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

} // namespace

std::unique_lock<std::recursive_mutex> TemporaryFileRegistry::hold() {
    return std::unique_lock(registryMutex());
}

void TemporaryFileRegistry::add(const std::filesystem::path& path) {
    const auto guard = hold();
    registeredPaths().push_back(path);
}

void TemporaryFileRegistry::remove(const std::filesystem::path& path) {
    const auto guard = hold();
    std::erase(registeredPaths(), path);
}

void TemporaryFileRegistry::outputLost() {
    ::kill(::getpid(), SIGPIPE);
}

void TemporaryFileRegistry::removeFilesOnSignal() {
    const sigset_t signals = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(waitForTermination, signals).detach();
}

} // namespace velmora::par1
