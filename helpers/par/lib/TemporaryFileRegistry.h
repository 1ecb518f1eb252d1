#pragma once

#include <filesystem>

namespace velmora::par1 {

// The temporary files being written right now, so that an interrupt or a
// termination signal removes them before the process ends: an aborted run
// leaves no hidden partial volume behind. The signal handler only reads fixed
// storage and calls unlink, both safe in a handler.
class TemporaryFileRegistry {
public:
    static constexpr int kNoSlot = -1;

    // Returns the slot to release later, or kNoSlot when the registry is full.
    static int add(const std::filesystem::path& path);
    static void remove(int slot);
    // Installs the handler for SIGINT and SIGTERM.
    static void removeFilesOnSignal();
};

} // namespace velmora::par1
