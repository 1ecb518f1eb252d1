#pragma once

#include <QString>

// Asks the desktop's file manager, over the org.freedesktop.FileManager1 D-Bus
// interface, to show an item selected. False when no file manager offers it.
class FileManagerReveal {
public:
    static bool showItem(const QString& path);
};
