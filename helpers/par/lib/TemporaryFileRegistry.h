#pragma once

#include <filesystem>
#include <mutex>

namespace velmora::par1 {

// The temporary files being written right now, so that an interrupt, a
// termination or hang-up signal or the loss of the output pipe removes them before the process
// ends: an aborted run leaves no hidden partial volume behind. The signals are taken by a thread of
// their own (sigwait), which removes the files under the registry's lock; a
// file is created and added under the same lock, so a signal never falls
// between the two.
class TemporaryFileRegistry {
public:
    static std::unique_lock<std::recursive_mutex> hold();
    static void add(const std::filesystem::path& path);
    static void remove(const std::filesystem::path& path);
    // Call first thing in main, before any other thread exists: blocks SIGINT,
    // SIGTERM, SIGHUP and SIGPIPE for every thread and starts the one that waits
    // for them.
    static void removeFilesOnSignal();
    // A write failed with EPIPE: the blocked SIGPIPE stayed with the writing
    // thread, so it is sent again to the process, where the waiting thread takes it.
    static void outputLost();
};

} // namespace velmora::par1
