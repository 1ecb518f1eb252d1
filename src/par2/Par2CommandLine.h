#pragma once

#include <QStringList>

// Where the preferred extra files go in the repair argument list: names that
// begin like the main file (without its extension) and do not carry a PAR 1
// volume extension come first, the rest follow; each group in plain order.
// A three-way comparison: negative when a goes first.
int CompareExtraFiles(const QString& a, const QString& b, const QString& mainFileName);
// False for "par" in any case and for "p" or "P" followed by two digits.
bool HasPreferredExtension(const QString& path);

class Par2CommandLine {
public:
    static inline const QString kToolName = QStringLiteral("par2SL");

    // "r", "--", the main file's name, then every regular, not hidden file of
    // its folder (the main file included), for par2 to search for blocks.
    // Names with control characters are left out: par2 echoes names as they
    // are, and a line feed in one would add lines of the name's choosing.
    static QStringList makeRepairParamArray(const QString& parFilePath);
    // The same run with no file of the folder named: the helper scans the folder.
    static QStringList makeFolderScanRepairParamArray(const QString& parFilePath);
    // The file names of an argument list: everything after "--".
    static QStringList givenFiles(const QStringList& arguments);
    static bool holdsControlCharacters(const QString& name);
    // The name with each control character shown as "?", for messages.
    static QString printableName(QString name);
    // "c", the block size when the preferences fix one, the redundancy clamped
    // to 1..100 percent, "-l" when recovery files are to be limited in size,
    // "--", the main file's name, then the subject files in FilenameSort order.
    static QStringList makeCreateParamArray(const QString& parFilePath, QStringList subjectFiles,
                                            int32_t redundancy);
};
