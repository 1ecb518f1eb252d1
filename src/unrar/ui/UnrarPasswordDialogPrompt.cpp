#include "UnrarPasswordDialogPrompt.h"

#include "platform/ui/DialogOwner.h"
#include "unrar/ui/UnrarPasswordController.h"

#include <QApplication>
#include <QPointer>

// The dialog is a child of the extraction's window (or the active one), which
// may go while the dialog runs; the guard then keeps it from being deleted twice.
std::optional<QString> UnrarPasswordDialogPrompt::doItForFileName(const QString& fileName,
                                                                  const PasswordCheck& accepts) {
    const QPointer<UnrarPasswordController> dialog =
        new UnrarPasswordController(DialogOwner::current());
    QString password;
    const bool entered = dialog->doItForFileName(fileName, password, accepts);
    delete dialog.data();
    if (!entered)
        return std::nullopt;
    return password;
}
