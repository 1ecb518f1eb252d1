#include "SingleInstance.h"

#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

// A running instance answers at once (the work is deferred); a longer silence
// means it hangs, and this start had better show its own windows.
constexpr int kReplyTimeoutMs = 5000;

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, OpenHandler open,
                               NewDocumentHandler newDocument)
    : m_bus(bus), m_open(std::move(open)), m_newDocument(std::move(newDocument)) {
    if (!m_bus.isConnected() ||
        !m_bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots))
        return;
    m_registered = m_bus.registerService(serviceName);
    if (!m_registered)
        m_bus.unregisterObject(objectPath);
}

SingleInstance::~SingleInstance() {
    if (!m_registered)
        return;
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(objectPath);
}

bool SingleInstance::forwardOpen(const QStringList& paths) {
    QStringList absolutePaths;
    for (const QString& path : paths)
        absolutePaths.append(QFileInfo(path).absoluteFilePath());
    return send(QStringLiteral("Open"), absolutePaths);
}

bool SingleInstance::forwardNewDocument(const QString& typeName) {
    return send(QStringLiteral("NewDocument"), typeName);
}

bool SingleInstance::send(const QString& method, const QVariant& argument) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, method);
    call.setAutoStartService(false);
    call << argument;
    return bus.call(call, QDBus::Block, kReplyTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Open(const QStringList& paths) {
    // The caller's working folder is unknown here, so a relative path would
    // name some other file.
    QStringList absolutePaths;
    for (const QString& path : paths) {
        if (QDir::isAbsolutePath(path))
            absolutePaths.append(path);
        else
            qWarning("Error: ignored the relative path \"%s\" handed over by another instance",
                     qPrintable(path));
    }
    if (!absolutePaths.isEmpty())
        QTimer::singleShot(0, this, [this, absolutePaths] { m_open(absolutePaths); });
}

void SingleInstance::NewDocument(const QString& typeName) {
    QTimer::singleShot(0, this, [this, typeName] { m_newDocument(typeName); });
}
