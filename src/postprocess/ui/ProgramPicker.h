#pragma once

#include <QString>

class QWidget;

// Lets the user pick the program of an open-with rule: a desktop entry from the
// applications folder, or any program file.
class ProgramPicker {
public:
    // The chosen file's path, or a null string when the user cancelled.
    static QString choose(QWidget* parent);
    // Where the picker starts: the first applications folder that exists.
    static QString applicationsFolder();
};
