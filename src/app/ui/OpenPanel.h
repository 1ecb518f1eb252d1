#pragma once

#include <QStringList>

class QWidget;

// The Open panels: Qt's own file dialog, listing folders and links, and either
// PAR 1 and PAR 2 files or the first volumes of RAR archives.
class OpenPanel {
public:
    // The chosen sets (empty when cancelled). The panel starts in the folder
    // when there is one, else where the last panel was confirmed.
    static QStringList run(QWidget* parent, const QString& folder = QString());
    // The chosen archive (null when cancelled).
    static QString chooseArchive(QWidget* parent, const QString& folder = QString());
};
