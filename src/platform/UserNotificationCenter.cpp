#include "UserNotificationCenter.h"

#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kRevealAction = QStringLiteral("reveal");
const QString kDefaultAction = QStringLiteral("default");
} // namespace

UserNotificationCenter& UserNotificationCenter::shared() {
    static auto* center = new UserNotificationCenter;
    return *center;
}

UserNotificationCenter::UserNotificationCenter() {
    connectSignals();
}

void UserNotificationCenter::connectSignals() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
    m_connected = true;
}

void UserNotificationCenter::setActivationHandler(std::function<void(const QVariantMap&)> handler) {
    m_activationHandler = std::move(handler);
}

// Sent without waiting: a slow or missing notification service must never hold
// up the window. The reply's id ties later clicks to this notification.
void UserNotificationCenter::deliverNotification(const QString& title, const QString& body,
                                                 const QString& actionTitle,
                                                 const QVariantMap& userInfo) {
    if (!m_connected) {
        qInfo().noquote() << QStringLiteral("Notification: %1: %2").arg(title, body);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QStringList actions =
        actionTitle.isEmpty() ? QStringList{kDefaultAction, title}
                              : QStringList{kDefaultAction, title, kRevealAction, actionTitle};
    call << QCoreApplication::applicationName() << uint(0) << QStringLiteral("velmora") << title
         << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), AppInfo::applicationId}} << int(-1);
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, userInfo, title, body](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isError())
                    qInfo().noquote() << QStringLiteral("Notification: %1: %2").arg(title, body);
                else
                    remember(reply.value(), userInfo);
                finished->deleteLater();
            });
}

void UserNotificationCenter::remember(uint id, const QVariantMap& userInfo) {
    m_userInfoById.insert(id, userInfo);
}

void UserNotificationCenter::onActionInvoked(uint id, const QString& actionKey) {
    const auto found = m_userInfoById.constFind(id);
    if (found == m_userInfoById.constEnd())
        return;
    if ((actionKey == kDefaultAction || actionKey == kRevealAction) && m_activationHandler)
        m_activationHandler(*found);
}

void UserNotificationCenter::onNotificationClosed(uint id, uint) {
    m_userInfoById.remove(id);
}
