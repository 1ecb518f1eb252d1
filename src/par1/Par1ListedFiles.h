#pragma once

#include "document/FileStatus.h"

#include <QString>

// The files a PAR 1 set lists, read from the file list of its index file or
// of one of its volumes, without the helper: a waiting set shows them before
// its turn.
class Par1ListedFiles {
public:
    // Records with code 0, those outside the volume set marked so; none when
    // the file is not a sound PAR 1.0 file or cannot be read.
    static FileStatusMap read(const QString& path);
};
