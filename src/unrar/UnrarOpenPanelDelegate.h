#pragma once

#include <QString>

// The filter of the panel that opens RAR archives: it offers only first
// volumes. Works on any thread.
class UnrarOpenPanelDelegate {
public:
    // Folders, unreadable items and other non-regular entries are shown, so the
    // user can navigate. A regular file is shown when its extension is "rar" or
    // "exe" (any case) or exactly "001", and the name before that carries no part
    // field ("part" and one to three digits) or part number 1.
    static bool shouldShowFilename(const QString& path);
};
