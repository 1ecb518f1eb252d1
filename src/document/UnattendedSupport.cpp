#include "UnattendedSupport.h"

#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"

#include <QDebug>

namespace {

QString logPrefix(AlertSeverity severity) {
    switch (severity) {
    case AlertSeverity::Informational:
        return QStringLiteral("Info: ");
    case AlertSeverity::Critical:
        return QStringLiteral("Error: ");
    case AlertSeverity::Plain:
        break;
    }
    return QStringLiteral("Alert: ");
}

int showOnMainThread(const AlertRequest& request) {
    int result = kAlertDefaultReturn;
    MainThread::runSync([&] {
        if (AlertPresenter* presenter = AlertPresenter::current())
            result = presenter->runModal(request);
        else
            qWarning().noquote() << logPrefix(request.severity) + request.message;
    });
    return result;
}

} // namespace

int DoUnattendedAction(AlertSeverity severity, const QString& title, const QString& format,
                       const QString& defaultButton, const QString& alternateButton,
                       const QString& otherButton, const QVariantList& arguments) {
    const QString message = format.isNull() ? QStringLiteral("<No message available>")
                                            : formatString(format, arguments);
    if (Preferences::boolForKey(PrefKey::UnattendedOperation)) {
        qWarning().noquote() << (title.isNull() ? logPrefix(severity) : title) + message;
        return kUnattendedAlertReturn;
    }
    return showOnMainThread(
        {severity, title, message, defaultButton, alternateButton, otherButton});
}
