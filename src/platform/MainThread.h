#pragma once

#include <functional>

// Hands work to the thread that runs the application's event loop.
class MainThread {
public:
    // Call once on the main thread, after the application object exists.
    static void initialize();
    static bool isCurrent();
    // Runs fn on the main thread and returns when it has run. Never call it while
    // holding a lock that the main thread may take.
    static void runSync(const std::function<void()>& fn);
    // Queues fn for the main thread and returns at once.
    static void post(std::function<void()> fn);
};
