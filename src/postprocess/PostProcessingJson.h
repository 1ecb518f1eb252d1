#pragma once

#include "postprocess/PostProcessingRecord.h"

#include <QJsonObject>
#include <QJsonValue>

// The "postProcessing" object of a PAR document's JSON line and the "extraction"
// object that a RAR document's line carries too:
//   {"action": "none"|"rule"|"extract", "rule": name or null, "target": name or null,
//    "extraction": {"outcome": "success"|"failed"|"canceled", "outputPath": path or null,
//                   "error": text or null} or null,
//    "deletedFiles": [damaged copies and recovery files moved to the trash, then removed
//                     volumes, by name],
//    "keptDamagedCopies": [damaged copies a repair left, kept with "KeepBrokenFiles" on]}
class PostProcessingJson {
public:
    static QJsonObject describe(const PostProcessingRecord& record);
    // Null while the extraction has not ended.
    static QJsonValue describeExtraction(const UnrarResult& result);
};
