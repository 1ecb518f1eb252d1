#include "ThreadName.h"

#include <algorithm>
#include <cerrno>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

void setCurrentThreadName(const QString& name) {
    const QByteArray shortName = name.toUtf8().left(15);
    pthread_setname_np(pthread_self(), shortName.constData());
}

void lowerCurrentThreadPriority() {
    // Linux gives each thread its own nice value, addressed by its thread id.
    constexpr int kLowerBy = 10;
    const auto thread = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, thread, std::min(current + kLowerBy, 19));
}
