#pragma once

#include <QStringList>

// The volume chain of an archive: the given volume followed by each next volume
// (GetNextRARFilename) until one is missing. A gap ends the chain.
QStringList RarVolumeChain(const QString& volumePath);

// Moves the volumes to the freedesktop trash. Failures are not reported: a
// volume that cannot be moved stays where it is.
void TrashRarSegments(const QStringList& volumes);

// Deletes the volumes. Only regular files are removed; a symbolic link (and
// whatever it points at) or any other kind of entry is left in place. Failures
// are ignored.
void PermanentlyDeleteRarSegments(const QStringList& volumes);
