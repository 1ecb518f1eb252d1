#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One worker thread that runs its tasks one after the other, in the order given.
// The destructor lets queued tasks finish, then joins the worker.
class SerialQueue {
public:
    explicit SerialQueue(const QString& name);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(std::function<void()> task);
    bool isCurrent() const;
    QString name() const { return m_name; }

private:
    void work();

    QString m_name;
    std::mutex m_mutex;
    std::condition_variable m_available;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::thread m_worker;
};
