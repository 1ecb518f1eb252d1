#include "DialogButtons.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStyle>

namespace {

QStyle::StandardPixmap iconOfRole(QDialogButtonBox::ButtonRole role, bool* known) {
    *known = true;
    switch (role) {
    case QDialogButtonBox::AcceptRole:
    case QDialogButtonBox::YesRole:
        return QStyle::SP_DialogOkButton;
    case QDialogButtonBox::RejectRole:
    case QDialogButtonBox::NoRole:
        return QStyle::SP_DialogCancelButton;
    case QDialogButtonBox::DestructiveRole:
        return QStyle::SP_DialogDiscardButton;
    case QDialogButtonBox::ApplyRole:
        return QStyle::SP_DialogApplyButton;
    case QDialogButtonBox::ResetRole:
        return QStyle::SP_DialogResetButton;
    case QDialogButtonBox::HelpRole:
        return QStyle::SP_DialogHelpButton;
    default:
        *known = false;
        return QStyle::SP_CustomBase;
    }
}

} // namespace

void DialogButtons::followTheme(QAbstractButton* button, QDialogButtonBox::ButtonRole role) {
    QStyle* style = button->style();
    if (!button->icon().isNull() ||
        !style->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons, nullptr, button))
        return;
    bool known = false;
    const QStyle::StandardPixmap pixmap = iconOfRole(role, &known);
    if (known)
        button->setIcon(style->standardIcon(pixmap, nullptr, button));
}

void DialogButtons::followTheme(QDialogButtonBox* buttons) {
    for (QAbstractButton* button : buttons->buttons())
        followTheme(button, buttons->buttonRole(button));
}

void DialogButtons::followTheme(QMessageBox& box) {
    for (QAbstractButton* button : box.buttons())
        followTheme(button, QDialogButtonBox::ButtonRole(box.buttonRole(button)));
}
