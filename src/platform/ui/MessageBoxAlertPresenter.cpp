#include "MessageBoxAlertPresenter.h"

#include "DialogOwner.h"
#include "platform/ui/DialogButtons.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

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

// QMessageBox wraps its texts at a narrow width of its own; a message that
// fits on one line of this width stays one line, a longer one wraps here.
constexpr int kWidestLine = 560;

void widenTexts(QMessageBox& box) {
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto* label = box.findChild<QLabel*>(QLatin1String(name));
        if (label == nullptr || label->text().isEmpty())
            continue;
        const int oneLine = label->fontMetrics().horizontalAdvance(label->text()) + 2;
        label->setMinimumWidth(std::min(oneLine, kWidestLine));
    }
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
    widenTexts(box);
    // The roles above follow the buttons' places, not what they do: a default
    // "Cancel" would wear the theme's OK mark. Only a plain OK gets the theme's icon.
    if (request.defaultButton.isEmpty() && alternate == nullptr && other == nullptr)
        DialogButtons::followTheme(box);
    box.exec();
    if (box.clickedButton() == other && other != nullptr)
        return kAlertOtherReturn;
    if (box.clickedButton() == alternate && alternate != nullptr)
        return kAlertAlternateReturn;
    return kAlertDefaultReturn;
}
