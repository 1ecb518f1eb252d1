#pragma once

#include "document/FileStatus.h"
#include "document/StatusCodes.h"

// Everything that reading the par helper's output decides: the two file maps,
// the output text itself, the progress and the document status.
struct Par1OutputModel {
    FileStatusMap m_FileStatus;
    FileStatusMap m_PxxFileStatus;
    QString m_ParMainOutput;

    int32_t m_Progress = 0;
    int32_t m_DocumentStatus = DocStatus::Idle;

    bool operator==(const Par1OutputModel&) const = default;
};
