#pragma once

#include <QStringList>
#include <mutex>

// Collects the messages written through Qt's logging while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    bool contains(const QString& text) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    mutable std::mutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous;
};
