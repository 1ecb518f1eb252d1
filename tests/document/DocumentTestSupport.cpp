#include "DocumentTestSupport.h"

#include "platform/MainThread.h"

void RecordingWindow::check() {
    if (!MainThread::isCurrent())
        calledOffMainThread = true;
}
