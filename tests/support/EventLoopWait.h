#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
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
