#pragma once

#include <QDialogButtonBox>

class QMessageBox;

// Qt gives a dialog's standard buttons an icon when the platform theme asks
// for one, but never a button with a text of its own. These give such buttons
// the icon of their role under the same condition, so a dialog's buttons have
// icons everywhere or nowhere, as the theme does.
class DialogButtons {
public:
    static void followTheme(QDialogButtonBox* buttons);
    static void followTheme(QMessageBox& box);
    static void followTheme(QAbstractButton* button, QDialogButtonBox::ButtonRole role);
};
