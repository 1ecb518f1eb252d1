#pragma once

#include "platform/AlertPresenter.h"

#include <QVariantList>

// The application's alerts. In unattended operation they are written to the log
// and answered with kUnattendedAlertReturn, which matches no button. A null
// title, format or button stands for "none".
inline constexpr int kUnattendedAlertReturn = -100;

int DoUnattendedAction(AlertSeverity severity, const QString& title, const QString& format,
                       const QString& defaultButton, const QString& alternateButton,
                       const QString& otherButton, const QVariantList& arguments);

template <typename... Args>
int VLMLRunAlertPanel(const QString& title, const QString& format, const QString& defaultButton,
                      const QString& alternateButton, const QString& otherButton,
                      const Args&... arguments) {
    return DoUnattendedAction(AlertSeverity::Plain, title, format, defaultButton, alternateButton,
                              otherButton, QVariantList{QVariant::fromValue(arguments)...});
}

template <typename... Args>
int VLMLRunInformationalAlertPanel(const QString& title, const QString& format,
                                   const QString& defaultButton, const QString& alternateButton,
                                   const QString& otherButton, const Args&... arguments) {
    return DoUnattendedAction(AlertSeverity::Informational, title, format, defaultButton,
                              alternateButton, otherButton,
                              QVariantList{QVariant::fromValue(arguments)...});
}

template <typename... Args>
int VLMLRunCriticalAlertPanel(const QString& title, const QString& format,
                              const QString& defaultButton, const QString& alternateButton,
                              const QString& otherButton, const Args&... arguments) {
    return DoUnattendedAction(AlertSeverity::Critical, title, format, defaultButton,
                              alternateButton, otherButton,
                              QVariantList{QVariant::fromValue(arguments)...});
}
