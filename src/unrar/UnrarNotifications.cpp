#include "UnrarNotifications.h"

#include "platform/UserNotificationCenter.h"

namespace {
UnrarNotifications* installedReceiver = nullptr;
}

void UnrarNotifications::install(UnrarNotifications* receiver) {
    installedReceiver = receiver;
}

void UnrarNotifications::deliver(const QString& title, const QString& body,
                                 const QString& actionTitle, const QVariantMap& userInfo) {
    if (installedReceiver != nullptr)
        installedReceiver->deliverNotification(title, body, actionTitle, userInfo);
    else
        UserNotificationCenter::shared().deliverNotification(title, body, actionTitle, userInfo);
}
