#pragma once

#include <QString>

// Names the calling thread for debuggers and `top -H` (the kernel keeps 15 bytes).
void setCurrentThreadName(const QString& name);
