#pragma once

#include <QString>

// Where the UnRAR library puts an entry, relative to the extraction folder. The
// library silently drops what would climb out of that folder: everything up to
// the last "/../", leading "/", "./", "../" (any run of dots followed by a
// slash) and a leading "//server/share/". The output placement must look at the
// same names the library writes, or existing items would be overwritten without
// asking (the library replaces existing files).
class RarEntryName {
public:
    // The relative path the library writes the entry to (empty when nothing is left).
    static QString placedPath(const QString& storedName);
    // The first component of the placed path other than "."; empty when there is
    // none (the entry names the extraction folder itself).
    static QString topLevelItem(const QString& storedName);
};
