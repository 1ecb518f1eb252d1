#pragma once

#include "document/HelperProcess.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

// Tells a helper that is working from one that hangs. A helper may go quiet
// for a long time while it computes, so silence alone proves nothing: it has
// stalled only when it has written nothing, used no processor time and never
// been seen waiting for a processor (a busy machine may starve a helper at
// the lowest priority) for the whole limit. Both readers of a run share one
// guard.
class StallGuard {
public:
    using Clock = std::chrono::steady_clock;

    // A limit of zero or less never stalls.
    explicit StallGuard(std::chrono::milliseconds limit);

    void noteOutput();
    // activity: a fresh look at the helper; null when it cannot be looked at,
    // which never counts as a stall.
    bool hasStalled(const std::optional<HelperProcess::Activity>& activity);
    // How long a reader may wait on its pipe between two checks.
    std::chrono::milliseconds checkInterval() const;
    std::chrono::milliseconds limit() const { return m_limit; }

    // The limit the preferences set for a new run.
    static std::chrono::milliseconds configuredLimit();

private:
    const std::chrono::milliseconds m_limit;
    std::mutex m_mutex;
    Clock::time_point m_lastSignOfLife;
    std::optional<int64_t> m_lastCpuTicks;
};
