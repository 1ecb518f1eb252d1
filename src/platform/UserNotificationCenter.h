#pragma once

#include <QHash>
#include <QObject>
#include <QVariantMap>
#include <functional>

// Posts desktop notifications through org.freedesktop.Notifications, with an
// action button. Clicking the body (the "default" action) or the button hands
// the notification's user information to the activation handler. Without a
// notification service the notice goes to the log instead. Main thread only.
class UserNotificationCenter : public QObject {
    Q_OBJECT

public:
    static UserNotificationCenter& shared();

    void deliverNotification(const QString& title, const QString& body, const QString& actionTitle,
                             const QVariantMap& userInfo);
    void setActivationHandler(std::function<void(const QVariantMap&)> handler);

private:
    UserNotificationCenter();
    void connectSignals();
    void remember(uint id, const QVariantMap& userInfo);

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool m_connected = false;
    QHash<uint, QVariantMap> m_userInfoById;
    std::function<void(const QVariantMap&)> m_activationHandler;
};
