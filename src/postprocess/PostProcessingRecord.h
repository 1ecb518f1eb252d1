#pragma once

#include "unrar/UnrarResult.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the after-run actions of a PAR document did, for reports such as the
// headless JSON line.
struct PostProcessingRecord {
    enum class Action { None, Rule, Extract };

    Action action = Action::None;
    QString rule;                          // the applied rule's description
    QString target;                        // the rule's file, or the archive's first volume
    std::optional<UnrarResult> extraction; // set once an extraction was set up
    QStringList deletedFiles;              // recovery files moved to the trash, by name
    QStringList keptDamagedCopies;         // damaged copies a repair left, kept as asked
};
