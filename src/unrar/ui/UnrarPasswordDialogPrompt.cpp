#include "UnrarPasswordDialogPrompt.h"

#include "unrar/ui/UnrarPasswordController.h"

#include <QApplication>
#include <QPointer>

// The dialog is a child of the active window, which may go while the dialog
// runs; the guard then keeps it from being deleted twice.
std::optional<QString> UnrarPasswordDialogPrompt::doItForFileName(const QString& fileName) {
    const QPointer<UnrarPasswordController> dialog =
        new UnrarPasswordController(QApplication::activeWindow());
    QString password;
    const bool entered = dialog->doItForFileName(fileName, password);
    delete dialog.data();
    if (!entered)
        return std::nullopt;
    return password;
}
