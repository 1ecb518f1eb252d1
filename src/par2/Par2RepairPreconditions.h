#pragma once

#include "par2/TargetFileList.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The checks a PAR 2 set makes before files are added to it and before a
// verify/repair run.
class Par2RepairPreconditions {
public:
    static constexpr int kMaxFilesInSet = 32768;

    // Whether `count` more files fit beside `numSubjectFiles`; otherwise shows a
    // critical alert (also in unattended operation) and answers false.
    static bool checkRoomForFiles(int numSubjectFiles, int count);
    // The text of that alert, or null when the files fit.
    static QString roomProblem(int numSubjectFiles, int count);
    // Asks whether to go on when the set's folder holds many more files than the
    // set protects: par2 would search all of them. Answers whether to run.
    // `targets` are the set's stored names (none when the set is unreadable).
    static bool VerifyPreconditionsForRepair(const QString& mainFilePath,
                                             const std::optional<TargetFileList>& targets);
    // Refuses (with a critical alert) a main file whose name holds control
    // characters, which the helper would echo into its output, and a set whose
    // stored names pass through a symbolic link in the folder, through which
    // the helper would write.
    static bool VerifyPathsForRepair(const QString& mainFilePath,
                                     const std::optional<TargetFileList>& targets);
    // The first stored name of the set that passes through (or is) a link.
    static std::optional<QByteArray> nameThroughLink(const QString& mainFilePath,
                                                     const std::optional<TargetFileList>& targets);
    // Regular, not hidden files without the extension "par2", counted up to the
    // first one beyond the limit.
    static int countUnrelatedFiles(const QString& folder, int limit);
};
