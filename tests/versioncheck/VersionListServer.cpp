#include "VersionListServer.h"

#include <QTcpSocket>
#include <cstdlib>
#include <plist/plist.h>

VersionListServer::VersionListServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString VersionListServer::url() const {
    return QStringLiteral("http://127.0.0.1:%1/versions.plist").arg(m_server.serverPort());
}

void VersionListServer::answer(QTcpSocket* socket) {
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    m_lastRequest = request;
    ++m_requests;
    if (m_silent)
        return;
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
    socket->disconnectFromHost();
}

QByteArray VersionListServer::versionList(const QString& version, const QString& prompt,
                                          bool binary) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "Velmora", plist_new_string(version.toUtf8().constData()));
    if (!prompt.isNull())
        plist_dict_set_item(root, "VelmoraPrompt", plist_new_string(prompt.toUtf8().constData()));
    char* data = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(root, &data, &length);
    else
        plist_to_xml(root, &data, &length);
    const QByteArray result(data, length);
    std::free(data);
    plist_free(root);
    return result;
}
