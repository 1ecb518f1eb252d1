#include "MainThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// Tasks travel through a queue of our own, guarded by a std::mutex; the main
// thread is woken through an eventfd watched by a socket notifier. No Qt event
// or functor is made on one thread and consumed on another, so every hand-over
// is visible to ThreadSanitizer.
class Dispatcher : public QObject {
public:
    Dispatcher() : m_wakeUp(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        m_notifier = new QSocketNotifier(m_wakeUp, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { runQueuedTasks(); });
    }

    static Dispatcher*& instance() {
        static Dispatcher* dispatcher = nullptr;
        return dispatcher;
    }

    void enqueue(std::function<void()> task) {
        {
            std::lock_guard guard(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        wakeUp();
    }

private:
    // Tasks queued together run in slices: once a slice is used up, the rest
    // wait for the next turn of the event loop, so painting, input and timers
    // come in between however much work the workers hand over at once.
    static constexpr qint64 kSliceNanoseconds = 10'000'000;

    void runQueuedTasks() {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(m_wakeUp, &count, sizeof count);
        QElapsedTimer slice;
        slice.start();
        while (std::function<void()> task = takeTask()) {
            task();
            if (slice.nsecsElapsed() >= kSliceNanoseconds) {
                wakeUpIfQueued();
                return;
            }
        }
    }

    std::function<void()> takeTask() {
        std::lock_guard guard(m_mutex);
        if (m_tasks.empty())
            return {};
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        return task;
    }

    void wakeUpIfQueued() {
        {
            std::lock_guard guard(m_mutex);
            if (m_tasks.empty())
                return;
        }
        wakeUp();
    }

    void wakeUp() {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeUp, &one, sizeof one);
    }

    int m_wakeUp;
    QSocketNotifier* m_notifier;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
};

} // namespace

void MainThread::initialize() {
    if (Dispatcher::instance() == nullptr && QCoreApplication::instance() != nullptr && isCurrent())
        Dispatcher::instance() = new Dispatcher;
}

bool MainThread::isCurrent() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

void MainThread::runSync(const std::function<void()>& fn) {
    if (isCurrent() || Dispatcher::instance() == nullptr) {
        fn();
        return;
    }
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    Dispatcher::instance()->enqueue([&] {
        fn();
        std::lock_guard guard(mutex);
        finished = true;
        done.notify_one();
    });
    std::unique_lock guard(mutex);
    done.wait(guard, [&] { return finished; });
}

// Without a dispatcher there is no event loop (a plain tool or test), so the
// caller's thread is the only one there is. Once it exists, work queued after
// the application object is gone is dropped rather than run on a wrong thread.
void MainThread::post(std::function<void()> fn) {
    if (Dispatcher* dispatcher = Dispatcher::instance())
        dispatcher->enqueue(std::move(fn));
    else
        fn();
}
