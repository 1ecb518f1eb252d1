#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

// Hands work from the extraction queue to the main thread, like MainThread's
// post and runSync, but with the hand-over made through a std::mutex that
// ThreadSanitizer can see. Qt's own queued and blocking calls synchronise inside
// libQt6Core, which is not instrumented, so a functor built on one thread and run
// on the other is reported as a race even though it is none. Only a wake-up call
// without arguments crosses Qt's event queue here.
//
// Work runs on the main thread in the order it was handed over, also when a
// piece of work spins a nested event loop (a modal dialog).
class MainThreadMailbox : public QObject {
    Q_OBJECT

public:
    // Creates the mailbox; call it on the main thread before work is handed over
    // from another thread.
    static void prepare() { instance(); }
    static void post(std::function<void()> work);
    // Runs the work on the main thread and returns when it has run; runs it at
    // once when called on the main thread.
    static void runSync(const std::function<void()>& work);

private:
    MainThreadMailbox() = default;
    static MainThreadMailbox& instance();
    Q_INVOKABLE void deliver();

    std::mutex m_lock;
    std::deque<std::function<void()>> m_work;
    bool m_deliveryScheduled = false;
};
