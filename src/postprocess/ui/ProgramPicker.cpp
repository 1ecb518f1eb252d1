#include "ProgramPicker.h"

#include "platform/StringTables.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

QString ProgramPicker::applicationsFolder() {
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& folder : folders) {
        if (QDir(folder).exists())
            return folder;
    }
    return QDir::homePath();
}

QString ProgramPicker::choose(QWidget* parent) {
    QFileDialog dialog(parent, StringTables::localized(QStringLiteral("ChooseProgramTitle")),
                       applicationsFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({StringTables::localized(QStringLiteral("ProgramFilesFilter")),
                           StringTables::localized(QStringLiteral("AllFilesFilter"))});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
