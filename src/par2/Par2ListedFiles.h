#pragma once

#include "document/FileStatus.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The files a PAR 2 set lists, read from the file-description packets of one
// of its files, without the helper: a waiting set shows them before its turn.
class Par2ListedFiles {
public:
    // Records with code 0, named as the helper will report them; none when the
    // file cannot be read.
    static FileStatusMap read(const QString& path, uint32_t encoding);
    // A stored name as the helper prints it: read in the character set (as
    // stored when it is not valid there), control characters written as \xNN.
    static QString reportedName(const QByteArray& stored, uint32_t encoding);
};
