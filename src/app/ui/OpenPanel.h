#pragma once

#include <QStringList>

class QWidget;

// The Open panel: Qt's own file dialog, listing folders, links and PAR 1 and
// PAR 2 files only. Returns the chosen files (empty when cancelled).
class OpenPanel {
public:
    static QStringList run(QWidget* parent);
};
