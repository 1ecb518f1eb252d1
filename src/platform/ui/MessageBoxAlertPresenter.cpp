#include "MessageBoxAlertPresenter.h"

#include "DialogOwner.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon iconFor(AlertSeverity severity) {
    switch (severity) {
    case AlertSeverity::Informational:
        return QMessageBox::Information;
    case AlertSeverity::Critical:
        return QMessageBox::Critical;
    case AlertSeverity::Plain:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

int MessageBoxAlertPresenter::runModal(const AlertRequest& request) {
    QMessageBox box(DialogOwner::current());
    box.setIcon(iconFor(request.severity));
    box.setWindowTitle(QApplication::applicationDisplayName());
    if (request.title.isEmpty()) {
        box.setText(request.message);
    } else {
        box.setText(request.title);
        box.setInformativeText(request.message);
    }
    const QString defaultTitle = request.defaultButton.isEmpty()
                                     ? QApplication::translate("Alert", "OK")
                                     : request.defaultButton;
    QPushButton* defaultButton = box.addButton(defaultTitle, QMessageBox::AcceptRole);
    QPushButton* alternate = request.alternateButton.isEmpty()
                                 ? nullptr
                                 : box.addButton(request.alternateButton, QMessageBox::RejectRole);
    QPushButton* other = request.otherButton.isEmpty()
                             ? nullptr
                             : box.addButton(request.otherButton, QMessageBox::DestructiveRole);
    box.setDefaultButton(defaultButton);
    if (alternate != nullptr)
        box.setEscapeButton(alternate);
    box.exec();
    if (box.clickedButton() == other && other != nullptr)
        return kAlertOtherReturn;
    if (box.clickedButton() == alternate && alternate != nullptr)
        return kAlertAlternateReturn;
    return kAlertDefaultReturn;
}
