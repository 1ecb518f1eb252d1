#pragma once

#include <QStringList>

// The files of a PAR 1 set on disk: a main file NAME.par and volumes NAME.P01,
// NAME.P02, ... beside it.
class Par1VolumeFiles {
public:
    // Removes NAME.P01 up to NAME.P<volumeCount> left by an earlier set of the
    // same name, before a creation run writes them again or after it was
    // aborted. Fails when one of those names is taken by something that is not
    // a regular file, by one of the new set's own subject files, or cannot be
    // removed.
    static bool RemoveStrayPnnFiles(const QString& mainFilePath, int volumeCount,
                                    const QStringList& subjectFiles);
    // The names to move to the trash once the set has been repaired: the main
    // file, the recovery files the helper used, every volume name the set can
    // have in either case, and NAME.par / NAME.PAR. The set's own subject files
    // are never among them, whatever they are called.
    static QStringList namesToDeleteAfterRepair(const QString& mainFileName,
                                                const QStringList& recoveryFiles,
                                                const QStringList& subjectFiles);
};
