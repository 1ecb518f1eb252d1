#pragma once

#include <QString>

class QFileDialog;

// Where file dialogs start: the folder the task is about (a set's or an
// archive's), else the last folder a dialog was confirmed in, else the home
// folder; never the process's working folder, which for a desktop launch says
// nothing to the user.
class PanelFolders {
public:
    static inline const QString kLastFolderKey = QStringLiteral("LastPanelFolder");

    static QString startFolder(const QString& preferred = QString());
    // Starts the dialog there and remembers the folder it is confirmed in.
    static void setUp(QFileDialog& dialog, const QString& preferred = QString());
};
