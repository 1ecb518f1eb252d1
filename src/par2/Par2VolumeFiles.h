#pragma once

#include <QMap>
#include <QStringList>

// Which files of a folder are recovery files of a PAR 2 set, for deleting
// them once the set has been repaired.
class Par2VolumeFiles {
public:
    // The index of the "vol" of a name like "set.vol03+04.par2" (4 there), or -1
    // when the name, without its last extension, does not end in
    // "vol<digits>+<digits>" with the "vol" at index 2 or later.
    static int FindVolPartInFilename(const QString& name);
    // The names among the candidates that belong to the set of the main file:
    // same prefix and extension, and the volume part at the same place. A name
    // without a volume part must be the set's own name (so "set2.par2" stays
    // when "set.par2" is repaired).
    static QStringList recoveryFilesOfSet(const QString& mainFileName,
                                          const QStringList& candidates);
    // Moves the set's recovery files among the candidates from the folder to the trash,
    // when "AutoDeletePnn" is on. Failures are ignored.
    static void DoAutoDeleteParFiles(const QString& folder, const QString& mainFileName,
                                     const QStringList& candidates);
    // Deletes what par2 writes when it creates the set of this main file
    // ("set.par2" and "set.vol<n>+<m>.par2", names exactly so), before a creation
    // run and after one that failed. False when such a name is taken by
    // something that is not a regular file, or a file could not be deleted.
    static bool RemoveStrayPnnFiles(const QString& mainFilePath);
    // The recovery volumes par2 wrote for the set of this main file, with the
    // number of recovery blocks each holds ("set.vol03+04.par2" holds 4).
    static QMap<QString, int32_t> recoveryVolumesWritten(const QString& mainFilePath);
};
