#pragma once

#include <QStringList>

// Folders that extraction output handling must never remove or move aside: "/",
// the system folders, the home folder, every XDG base and user folder, and every
// folder that contains one of them.
class ProtectedFolders {
public:
    // The listed folders (cleaned absolute paths), read from the environment now.
    static QStringList list();
    // Whether the folder is listed or contains a listed folder. Both the path as
    // given and its resolved form (symbolic links followed) are compared.
    static bool isProtected(const QString& folderPath);
};
