#include "LogCapture.h"

#include <atomic>

namespace {
std::atomic<LogCapture*> activeCapture{nullptr};
std::mutex captureMutex;
} // namespace

LogCapture::LogCapture() {
    activeCapture = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(m_previous);
    std::lock_guard guard(captureMutex);
    activeCapture = nullptr;
}

void LogCapture::handler(QtMsgType, const QMessageLogContext&, const QString& message) {
    std::lock_guard guard(captureMutex);
    if (LogCapture* capture = activeCapture) {
        std::lock_guard lines(capture->m_mutex);
        capture->m_lines.append(message);
    }
}

QStringList LogCapture::lines() const {
    std::lock_guard guard(m_mutex);
    // A list of its own: one shared with a thread that logs would be grown in place by that
    // thread and released by this one with nothing ordering the two.
    return QStringList(m_lines.cbegin(), m_lines.cend());
}

bool LogCapture::contains(const QString& text) const {
    const QStringList all = lines();
    return std::any_of(all.begin(), all.end(),
                       [&](const QString& line) { return line.contains(text); });
}
