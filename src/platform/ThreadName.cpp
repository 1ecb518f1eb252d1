#include "ThreadName.h"

#include <pthread.h>

void setCurrentThreadName(const QString& name) {
    const QByteArray shortName = name.toUtf8().left(15);
    pthread_setname_np(pthread_self(), shortName.constData());
}
