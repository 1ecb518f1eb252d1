#pragma once

#include <QString>

// Moves files to the user's freedesktop trash.
class Trash {
public:
    // Qt gives up when the XDG data folder does not exist yet (a fresh account);
    // the folder is made first so the move can succeed.
    static bool moveToTrash(const QString& path);
    // Whether this process moved a file of that path to the trash, so a window
    // can tell a file sent to the trash from one deleted for good.
    static bool wasMovedToTrash(const QString& path);
};
