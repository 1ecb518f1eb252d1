#pragma once

#include <QStringList>

// Finds the recovery sets in folders, one file to open per set: a PAR 2 set
// by its main file (NAME.par2), else by its first volume (NAME.volN+M.par2);
// a PAR 1 set by NAME.par, else by its first volume (NAME.P01). Every other
// file of a set is left out, so no set is opened twice through its volumes.
// Links to folders are not followed, and hidden files and folders are skipped.
class RecoverySetFinder {
public:
    // Sorted by path in the file-name order.
    static QStringList findSets(const QString& folder, bool withSubfolders);
};
