#pragma once

#include <QString>

enum class AlertSeverity { Plain = 0, Informational = 1, Critical = 2 };

// Results of a modal alert: the default, alternate and other buttons.
inline constexpr int kAlertDefaultReturn = 1;
inline constexpr int kAlertAlternateReturn = 0;
inline constexpr int kAlertOtherReturn = -1;

struct AlertRequest {
    AlertSeverity severity = AlertSeverity::Plain;
    QString title;           // null: no title
    QString message;         // already formatted, shown as it is
    QString defaultButton;   // null: the standard OK
    QString alternateButton; // null: not shown
    QString otherButton;     // null: not shown
};

// Shows modal alerts. The application installs a QMessageBox presenter; tests
// install scripted ones. Called on the main thread only.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual int runModal(const AlertRequest& request) = 0;

    static void install(AlertPresenter* presenter);
    static AlertPresenter* current();
};
