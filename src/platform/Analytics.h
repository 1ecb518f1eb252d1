#pragma once

#include <QString>

// Crash reporting and usage analytics. Velmora sends nothing anywhere: both
// calls only leave a debug line, and never block.
class Analytics {
public:
    static void start();
    static void recordEvent(const QString& name);
};
