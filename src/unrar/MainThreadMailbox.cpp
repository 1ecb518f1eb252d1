#include "MainThreadMailbox.h"

#include "platform/MainThread.h"

#include <QCoreApplication>
#include <condition_variable>

MainThreadMailbox& MainThreadMailbox::instance() {
    // Never destroyed: work may still be handed over while the process exits.
    static MainThreadMailbox* const mailbox = [] {
        auto* created = new MainThreadMailbox;
        created->moveToThread(QCoreApplication::instance()->thread());
        return created;
    }();
    return *mailbox;
}

void MainThreadMailbox::post(std::function<void()> work) {
    MainThreadMailbox& mailbox = instance();
    std::lock_guard guard(mailbox.m_lock);
    mailbox.m_work.push_back(std::move(work));
    if (mailbox.m_deliveryScheduled)
        return;
    mailbox.m_deliveryScheduled = true;
    // Under the lock, so that the wake-up's event (allocated here, freed on the
    // main thread after deliver has taken the lock) is ordered for the sanitizer.
    QMetaObject::invokeMethod(&mailbox, "deliver", Qt::QueuedConnection);
}

void MainThreadMailbox::runSync(const std::function<void()>& work) {
    if (MainThread::isCurrent()) {
        work();
        return;
    }
    std::mutex doneLock;
    std::condition_variable doneChanged;
    bool done = false;
    post([&] {
        work();
        std::lock_guard guard(doneLock);
        done = true;
        doneChanged.notify_one();
    });
    std::unique_lock guard(doneLock);
    doneChanged.wait(guard, [&] { return done; });
}

void MainThreadMailbox::deliver() {
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard guard(m_lock);
            if (m_work.empty()) {
                m_deliveryScheduled = false;
                return;
            }
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();
    }
}
