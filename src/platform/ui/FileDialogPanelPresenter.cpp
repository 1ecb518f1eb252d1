#include "FileDialogPanelPresenter.h"

#include "platform/ui/PanelFolders.h"

#include <QApplication>
#include <QFileDialog>

QString FileDialogPanelPresenter::chooseFolder(const QString& title, const QString& prompt) {
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, prompt);
    PanelFolders::setUp(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
