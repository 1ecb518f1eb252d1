#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A lock that carries an integer condition: a thread can wait until the lock is
// free and the condition has a given value, and set the condition when it unlocks.
class ConditionLock {
public:
    explicit ConditionLock(int condition = 0) : m_condition(condition) {}

    void lock();
    bool tryLock();
    void lockWhenCondition(int condition);
    // Returns false when the timeout passed before the condition was reached.
    bool lockWhenCondition(int condition, std::chrono::milliseconds timeout);
    void unlock();
    void unlockWithCondition(int condition);
    int condition() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_locked = false;
    int m_condition;
};
