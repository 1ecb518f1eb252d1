#include "Analytics.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAnalytics, "velmora.analytics", QtWarningMsg)

void Analytics::start() {
    qCDebug(lcAnalytics) << "analytics started (local only)";
}

void Analytics::recordEvent(const QString& name) {
    qCDebug(lcAnalytics) << "event" << name;
}
