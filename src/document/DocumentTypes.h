#pragma once

#include <QString>

// The kinds of documents Velmora opens, and which files belong to each.
class DocumentTypes {
public:
    static inline const QString Par1 = QStringLiteral("PAR File");
    static inline const QString Par2 = QStringLiteral("PAR2 File");
    static inline const QString Rar = QStringLiteral("RAR archive");

    // The type for a file, or a null string for files Velmora does not open.
    static QString typeForPath(const QString& path);
    // PAR 1 recovery volumes: "p" or "P" and two ASCII digits (name.P01).
    static bool isPar1VolumeExtension(const QString& extension);
    // Whether the Open panel lists the item: folders and links always, regular
    // files only when they are PAR 1 or PAR 2 files.
    static bool shouldShowInOpenPanel(const QString& path);
};
