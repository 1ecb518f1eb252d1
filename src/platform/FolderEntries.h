#pragma once

#include <QList>
#include <QString>

// A folder's entries read straight from the directory. The file system names
// each entry's kind itself, so tens of thousands of names cost milliseconds
// rather than a stat each. Names decode as FileNames decodes them, byte for byte.
class FolderEntries {
public:
    struct Entry {
        QString name;
        bool regularFile = false; // a regular file itself, not a link to one
        bool folder = false;      // a folder itself, not a link to one
    };

    // Every entry but "." and "..", in the order the directory gives them;
    // none when the folder cannot be read.
    static QList<Entry> read(const QString& folder);
};
