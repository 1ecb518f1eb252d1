#include "FileStatus.h"

#include <QDebug>
#include <algorithm>

namespace {

void logRefusedTransition(int32_t from, int32_t to) {
    qWarning("Unexpected file status transition from %d to %d", from, to);
}

bool isFinal(int32_t code) {
    return code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
           code == FileCode::MissingUnrecoverable || code == FileCode::DamagedUnrecoverable ||
           code == FileCode::Repaired;
}

bool isOneOf(int32_t code, std::initializer_list<int32_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), code) != allowed.end();
}

// Whether `from` may change to `to`; refusals that point at a parser fault are logged.
bool isAllowedTransition(int32_t from, int32_t to) {
    using namespace FileCode;
    if (isFinal(from))
        return false;
    bool allowed = true;
    bool logRefusal = true;
    if (from == Damaged)
        allowed = isOneOf(to, {FoundUnderOtherName, DamagedRecoverable, DamagedUnrecoverable});
    else if (from == Missing)
        allowed = isOneOf(to, {FoundUnderOtherName, MissingRecoverable, MissingUnrecoverable});
    else if (from == MissingRecoverable || from == DamagedRecoverable) {
        allowed = isOneOf(to, {MissingUnrecoverable, DamagedUnrecoverable, Repaired});
        logRefusal = false;
    } else if (from == ToBeProtected)
        allowed = to == Intact;
    if (!allowed && logRefusal)
        logRefusedTransition(from, to);
    return allowed;
}

} // namespace

FileStatus::FileStatus(const QString& filename, int32_t status)
    : m_filename(filename), m_fileStatus(status) {}

FileStatus::FileStatus(const QString& filename, int32_t status, const QString& associatedFilename,
                       bool fileInVolumeSet)
    : m_filename(filename), m_fileStatus(status), m_fileInVolumeSet(fileInVolumeSet),
      m_associatedFilename(associatedFilename) {}

void FileStatus::setFileStatus(int32_t status) {
    if (status != m_fileStatus && isAllowedTransition(m_fileStatus, status))
        m_fileStatus = status;
}

namespace {

bool changeDamagedAndMissing(FileStatusMap& files, bool onlyInVolumeSet, int32_t damagedTo,
                             int32_t missingTo) {
    bool visited = false;
    for (FileStatus& record : files) {
        if (onlyInVolumeSet && !record.fileInVolumeSet())
            continue;
        if (record.fileStatus() == FileCode::Damaged) {
            record.setFileStatus(damagedTo);
            visited = true;
        } else if (record.fileStatus() == FileCode::Missing) {
            record.setFileStatus(missingTo);
            visited = true;
        }
    }
    return visited;
}

} // namespace

bool SetCorruptMissingToRecoverable(FileStatusMap& files) {
    return changeDamagedAndMissing(files, true, FileCode::DamagedRecoverable,
                                   FileCode::MissingRecoverable);
}

bool SetCorruptMissingToUnRecoverable(FileStatusMap& files) {
    return changeDamagedAndMissing(files, false, FileCode::DamagedUnrecoverable,
                                   FileCode::MissingUnrecoverable);
}

bool SetRecoverableToUnrecoverable(FileStatusMap& files) {
    bool changed = false;
    for (FileStatus& record : files) {
        if (record.fileStatus() == FileCode::DamagedRecoverable)
            record.setFileStatus(FileCode::DamagedUnrecoverable);
        else if (record.fileStatus() == FileCode::MissingRecoverable)
            record.setFileStatus(FileCode::MissingUnrecoverable);
        else
            continue;
        changed = true;
    }
    return changed;
}

uint32_t countRecoveryFilesPresent(const FileStatusMap& recoveryFiles) {
    return uint32_t(
        std::count_if(recoveryFiles.cbegin(), recoveryFiles.cend(), [](const FileStatus& record) {
            return !record.isDamagedCopy() && record.removal() == FileStatus::Removal::None;
        }));
}

QString detachedCopy(const QString& text) {
    return text.isNull() ? QString() : QString(text.constData(), text.size());
}

FileStatus detachedCopy(const FileStatus& record) {
    FileStatus fresh(detachedCopy(record.filename()), record.fileStatus(),
                     detachedCopy(record.associatedFilename()), record.fileInVolumeSet());
    fresh.setNumRecoveryBlocks(record.numRecoveryBlocks());
    fresh.setRemoval(record.removal());
    fresh.setDamagedCopy(record.isDamagedCopy());
    return fresh;
}

FileStatusMap detachedCopy(const FileStatusMap& files) {
    FileStatusMap copy;
    for (const FileStatus& record : files) {
        const FileStatus fresh = detachedCopy(record);
        // In order: each record goes at the end, with no search.
        copy.insert(copy.cend(), fresh.filename(), fresh);
    }
    return copy;
}
