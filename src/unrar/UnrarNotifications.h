#pragma once

#include <QString>
#include <QVariantMap>

// Where the notifications of extractions go: the desktop's notification centre
// (UserNotificationCenter), unless another receiver is installed (tests). Main
// thread only.
class UnrarNotifications {
public:
    virtual ~UnrarNotifications() = default;
    virtual void deliverNotification(const QString& title, const QString& body,
                                     const QString& actionTitle, const QVariantMap& userInfo) = 0;

    static void install(UnrarNotifications* receiver);
    static void deliver(const QString& title, const QString& body, const QString& actionTitle,
                        const QVariantMap& userInfo);
};
