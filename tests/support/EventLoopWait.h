#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// Runs the main event loop until the condition holds or the time is up.
inline bool spinUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The same for runs of the helpers, which go at the lowest priority: the loop
// sleeps between turns so that they get the processor.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 120000) {
    return spinUntil(
        [&] {
            if (condition())
                return true;
            QThread::msleep(2);
            return false;
        },
        timeoutMs);
}
