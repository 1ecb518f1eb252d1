#pragma once

#include "document/FileStatus.h"

#include <QString>

// Puts files that par2 found under another name back under their own name
// when it could not repair the set (it renames them itself when it repairs).
class Par2FileFixer {
public:
    // Every regular file found under another name (status 3) is moved back to
    // its own name in the folder's real path; whatever is in its way is moved
    // aside first. Only plain names of the folder itself are renamed: a name
    // with a folder part could pass through a link to anywhere. Failed moves
    // are ignored.
    static void FixFilenames(const QString& folder, const FileStatusMap& fileStatus);
    // Moves what exists at the path to "<path>.<n>", n = 1, 2, ... the first free one.
    static void GetFileOutOfTheWay(const QString& path);
};
