#pragma once

#include <QString>

// Names the calling thread for debuggers and `top -H` (the kernel keeps 15 bytes).
void setCurrentThreadName(const QString& name);

// For a worker whose result nobody waits on frame by frame (reading a set's names,
// listing its folder): on a busy machine the window's thread goes first.
void lowerCurrentThreadPriority();
