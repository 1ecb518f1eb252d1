#include "StallGuard.h"

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <algorithm>

namespace {

constexpr int kDefaultLimitSeconds = 600;

} // namespace

StallGuard::StallGuard(std::chrono::milliseconds limit)
    : m_limit(limit), m_lastSignOfLife(Clock::now()) {}

void StallGuard::noteOutput() {
    std::lock_guard guard(m_mutex);
    m_lastSignOfLife = Clock::now();
}

bool StallGuard::hasStalled(const std::optional<HelperProcess::Activity>& activity) {
    std::lock_guard guard(m_mutex);
    const Clock::time_point now = Clock::now();
    if (!activity || activity->runnable || activity->cpuTicks != m_lastCpuTicks) {
        m_lastCpuTicks = activity ? std::optional(activity->cpuTicks) : std::nullopt;
        m_lastSignOfLife = now;
        return false;
    }
    return m_limit.count() > 0 && now - m_lastSignOfLife >= m_limit;
}

std::chrono::milliseconds StallGuard::checkInterval() const {
    using std::chrono::milliseconds;
    if (m_limit.count() <= 0)
        return milliseconds(1000);
    return std::clamp(m_limit / 4, milliseconds(50), milliseconds(1000));
}

std::chrono::milliseconds StallGuard::configuredLimit() {
    const int seconds = Preferences::contains(PrefKey::HelperStallSeconds)
                            ? Preferences::integerForKey(PrefKey::HelperStallSeconds)
                            : kDefaultLimitSeconds;
    return std::chrono::seconds(seconds);
}
