#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <functional>

// One windowed Velmora per session. The first one owns the service name on the
// session bus and exports Open and NewDocument; a later start hands its request
// to it and ends instead of showing windows of its own.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velmora.Velmora")

public:
    static inline const QString serviceName = QStringLiteral("org.velmora.Velmora");
    static inline const QString objectPath = QStringLiteral("/org/velmora/Velmora");

    using OpenHandler = std::function<void(const QStringList& paths)>;
    // An empty type name asks for a document of the preferred kind.
    using NewDocumentHandler = std::function<void(const QString& typeName)>;

    SingleInstance(QDBusConnection bus, OpenHandler open, NewDocumentHandler newDocument);
    ~SingleInstance() override;

    // False without a session bus or when another instance owns the name.
    bool isRegistered() const { return m_registered; }

    // Client side: true when a running instance took the request. Relative
    // paths are made absolute against this process's working folder.
    static bool forwardOpen(const QStringList& paths);
    static bool forwardNewDocument(const QString& typeName);

public slots:
    // Both return before the work starts, so a question or an alert in the
    // running instance never keeps the caller waiting.
    Q_SCRIPTABLE void Open(const QStringList& paths);
    Q_SCRIPTABLE void NewDocument(const QString& typeName);

private:
    static bool send(const QString& method, const QVariant& argument);

    QDBusConnection m_bus;
    OpenHandler m_open;
    NewDocumentHandler m_newDocument;
    bool m_registered = false;
};
