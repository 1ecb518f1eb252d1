#pragma once

#include <QStringList>

// The par helper's command lines and the limits of a PAR 1 set.
class Par1CommandLine {
public:
    static inline const QString kToolName = QStringLiteral("par");
    static inline const QString kExtension = QStringLiteral("par");
    static constexpr int kMaxFilesInSet = 255;
    static constexpr int kMaxVolumes = 99;

    // "r", "-O", "+C", "-f", "-m", "--" and the main file's name: check every
    // listed file, fix misnamed ones, keep damaged ones aside and restore.
    static QStringList makeRepairParamArray(const QString& parFilePath);
    // "a", "-O", "-n<volumes>", "--", the new main file's name, then the
    // subject files in FilenameSort order.
    static QStringList makeCreateParamArray(const QString& parFilePath,
                                            const QStringList& subjectFiles, int volumeCount);
    // The number of recovery volumes offered for a new set of that many files:
    // one per started group of "EveryXFilesValue" files when "NumMethod" is 1,
    // "AbsNumValue" otherwise; always within what a set can hold.
    static int CalcDefaultNumberPnn(int numSubjectFiles);
};
