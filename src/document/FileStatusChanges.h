#pragma once

#include "document/FileStatus.h"

#include <QStringList>

// What changed in one of a document's maps since the window was last told:
// records added or changed, and names gone. The records share no data with
// the document's own.
struct FileStatusChanges {
    FileStatusMap changed;
    QStringList removed;

    bool isEmpty() const { return changed.isEmpty() && removed.isEmpty(); }
    // The changes that bring `told` up to `current`; `told` is brought there too.
    static FileStatusChanges follow(FileStatusMap& told, const FileStatusMap& current);
    // The same for a window told nothing yet, from `start`, a copy of about the
    // same records sharing no data with `current`: only records that differ are
    // copied here. The changes hold every record.
    static FileStatusChanges followFrom(FileStatusMap start, FileStatusMap& told,
                                        const FileStatusMap& current);
    void applyTo(FileStatusMap& files) const;
};

// Both maps of a document: its set's files and its recovery files.
struct DocumentFileChanges {
    FileStatusChanges files;
    FileStatusChanges pxxFiles;

    bool isEmpty() const { return files.isEmpty() && pxxFiles.isEmpty(); }
};
