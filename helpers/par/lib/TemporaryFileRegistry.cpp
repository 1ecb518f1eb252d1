#include "TemporaryFileRegistry.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <limits.h>
#include <unistd.h>

namespace velmora::par1 {
namespace {

constexpr int kSlots = 512;

struct Slot {
    std::atomic<bool> inUse{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX];
};

Slot slots[kSlots];

void removeAndDie(int signalNumber) {
    for (Slot& slot : slots) {
        if (slot.ready.load())
            ::unlink(slot.path);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

} // namespace

int TemporaryFileRegistry::add(const std::filesystem::path& path) {
    const std::string text = path.string();
    if (text.size() >= PATH_MAX)
        return kNoSlot;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (slots[i].inUse.compare_exchange_strong(expected, true)) {
            std::memcpy(slots[i].path, text.c_str(), text.size() + 1);
            slots[i].ready.store(true);
            return i;
        }
    }
    return kNoSlot;
}

void TemporaryFileRegistry::remove(int slot) {
    if (slot == kNoSlot)
        return;
    slots[slot].ready.store(false);
    slots[slot].inUse.store(false);
}

void TemporaryFileRegistry::removeFilesOnSignal() {
    std::signal(SIGINT, removeAndDie);
    std::signal(SIGTERM, removeAndDie);
}

} // namespace velmora::par1
