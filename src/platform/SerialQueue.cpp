#include "SerialQueue.h"

#include "ThreadName.h"

SerialQueue::SerialQueue(const QString& name) : m_name(name), m_worker([this] { work(); }) {}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_available.notify_one();
    if (m_worker.joinable())
        m_worker.join();
}

void SerialQueue::async(std::function<void()> task) {
    {
        std::lock_guard guard(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_available.notify_one();
}

bool SerialQueue::isCurrent() const {
    return std::this_thread::get_id() == m_worker.get_id();
}

void SerialQueue::work() {
    setCurrentThreadName(m_name);
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock guard(m_mutex);
            m_available.wait(guard, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}
