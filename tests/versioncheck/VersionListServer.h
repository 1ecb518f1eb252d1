#pragma once

#include <QByteArray>
#include <QTcpServer>

// A one-route HTTP server on 127.0.0.1 for the version check: every request
// gets the same body, or no answer at all.
class VersionListServer : public QObject {
public:
    VersionListServer();

    void setBody(const QByteArray& body) { m_body = body; }
    // Accepts connections but never answers.
    void setSilent(bool silent) { m_silent = silent; }

    QString url() const;
    int requestCount() const { return m_requests; }
    QByteArray lastRequest() const { return m_lastRequest; }

    // A version list as a property list, XML or binary; a null prompt is left out.
    static QByteArray versionList(const QString& version, const QString& prompt, bool binary);

private:
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QByteArray m_body;
    QByteArray m_lastRequest;
    bool m_silent = false;
    int m_requests = 0;
};
