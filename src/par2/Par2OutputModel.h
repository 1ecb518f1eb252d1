#pragma once

#include "document/FileStatus.h"
#include "document/StatusCodes.h"

#include <QStringList>
#include <optional>

// Everything that reading the par2 helper's output decides: the
// two file maps, the output text itself, the set's counters, the progress and
// the document status as the reading leaves them.
struct Par2OutputModel {
    FileStatusMap m_FileStatus;
    FileStatusMap m_PxxFileStatus;
    QString m_ParMainOutput;

    int32_t m_NumRecoverableFiles = 0;
    int32_t m_NumOtherFiles = 0;
    int32_t m_BlockSize = 0;
    int32_t m_NumMissingBlocks = 0;
    // The files a creation run read into the set, in the order it opened them.
    QStringList m_OpenedSourceFiles;
    // Data blocks that verification did not find intact.
    int32_t m_NumUnavailableDataBlocks = 0;
    // The recovery file whose "Loading" line still waits for its result.
    std::optional<QString> m_LoadingPar2File;
    // Recovery files that were loaded but gave no recovery block, first seen first.
    QStringList m_EmptyPar2Files;

    int32_t m_Progress = 0;
    int32_t m_DocumentStatus = DocStatus::Idle;
    // False while the output is that of a creation run.
    bool m_IsVerifyRepairRun = true;

    bool operator==(const Par2OutputModel&) const = default;
};
