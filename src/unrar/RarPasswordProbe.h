#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Finds which of several passwords opens an archive, without extracting
// anything. A RAR 5 archive stores a check value of its password, so a wrong one
// is refused before any data is unpacked; a RAR 4 archive has none, so its first
// encrypted entry is unpacked in test mode and its checksum decides. Runs the
// UnRAR library on the calling thread; never call it on the main thread.
class RarPasswordProbe {
public:
    // The first candidate the archive accepts; nothing when the archive needs no
    // password, when none fits, or when the archive cannot be read (the
    // extraction then reports that).
    static std::optional<QString> findPassword(const QString& archivePath,
                                               const QStringList& candidates);
    // Whether the archive certainly refuses the password: false when it accepts
    // it, needs none, or cannot be read.
    static bool refuses(const QString& archivePath, const QString& password);
};
