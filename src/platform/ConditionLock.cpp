#include "ConditionLock.h"

void ConditionLock::lock() {
    std::unique_lock guard(m_mutex);
    m_changed.wait(guard, [this] { return !m_locked; });
    m_locked = true;
}

bool ConditionLock::tryLock() {
    std::lock_guard guard(m_mutex);
    if (m_locked)
        return false;
    m_locked = true;
    return true;
}

void ConditionLock::lockWhenCondition(int condition) {
    std::unique_lock guard(m_mutex);
    m_changed.wait(guard, [&] { return !m_locked && m_condition == condition; });
    m_locked = true;
}

bool ConditionLock::lockWhenCondition(int condition, std::chrono::milliseconds timeout) {
    std::unique_lock guard(m_mutex);
    if (!m_changed.wait_for(guard, timeout, [&] { return !m_locked && m_condition == condition; }))
        return false;
    m_locked = true;
    return true;
}

void ConditionLock::unlock() {
    {
        std::lock_guard guard(m_mutex);
        m_locked = false;
    }
    m_changed.notify_all();
}

void ConditionLock::unlockWithCondition(int condition) {
    {
        std::lock_guard guard(m_mutex);
        m_locked = false;
        m_condition = condition;
    }
    m_changed.notify_all();
}

int ConditionLock::condition() const {
    std::lock_guard guard(m_mutex);
    return m_condition;
}
