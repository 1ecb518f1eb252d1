#pragma once

#include "document/StatusCodes.h"

#include <QMap>
#include <QString>
#include <cstdint>

// What is known about one file of a set, or about one recovery or extra file.
// Changes of the status code go through a guard that keeps final codes final.
class FileStatus {
public:
    FileStatus() = default;
    explicit FileStatus(const QString& filename, int32_t status = FileCode::NotExamined);
    FileStatus(const QString& filename, int32_t status, const QString& associatedFilename,
               bool fileInVolumeSet);

    QString filename() const { return m_filename; }

    int32_t fileStatus() const { return m_fileStatus; }
    void setFileStatus(int32_t status);
    void setFileStatusForced(int32_t status) { m_fileStatus = status; }

    bool fileInVolumeSet() const { return m_fileInVolumeSet; }
    void setFileInVolumeSet(bool inSet) { m_fileInVolumeSet = inSet; }

    // Null when there is none.
    QString associatedFilename() const { return m_associatedFilename; }
    void setAssociatedFilename(const QString& name) { m_associatedFilename = name; }

    int32_t numRecoveryBlocks() const { return m_numRecoveryBlocks; }
    void setNumRecoveryBlocks(int32_t count) { m_numRecoveryBlocks = count; }

    // Whether the file left the folder after a run, and how. The status code
    // keeps what the run found; this says the file is no longer there.
    enum class Removal { None, MovedToTrash, Deleted };
    Removal removal() const { return m_removal; }
    void setRemoval(Removal removal) { m_removal = removal; }

    // In the recovery-file map: a damaged copy that a repair left beside the
    // file it rewrote (associatedFilename). Not a file of the set.
    bool isDamagedCopy() const { return m_damagedCopy; }
    void setDamagedCopy(bool damagedCopy) { m_damagedCopy = damagedCopy; }

    bool operator==(const FileStatus&) const = default;

private:
    QString m_filename;
    int32_t m_fileStatus = FileCode::NotExamined;
    bool m_fileInVolumeSet = true;
    QString m_associatedFilename;
    int32_t m_numRecoveryBlocks = 0;
    Removal m_removal = Removal::None;
    bool m_damagedCopy = false;
};

// File name -> record. Copies share their data until one side changes, so the
// window can take cheap snapshots.
using FileStatusMap = QMap<QString, FileStatus>;

// Damaged (2) and missing (4) files become recoverable (7, 5), but only those the
// set protects, or unrecoverable (8, 6), all of them. Both answer whether any
// record had code 2 or 4, so the caller knows to tell the window.
bool SetCorruptMissingToRecoverable(FileStatusMap& files);

// Copies that share no data with the original. Qt's copy-on-write checks its
// reference count without a memory barrier, so a copy handed to another thread
// while the owner keeps changing the original must not share its buffers.
QString detachedCopy(const QString& text);
FileStatus detachedCopy(const FileStatus& record);
FileStatusMap detachedCopy(const FileStatusMap& files);
bool SetCorruptMissingToUnRecoverable(FileStatusMap& files);
// After a repair that failed: files that could have been restored (7, 5) were
// not (8, 6). Answers whether any record changed.
bool SetRecoverableToUnrecoverable(FileStatusMap& files);
// Recovery files still in the folder, leaving out damaged copies a repair kept.
uint32_t countRecoveryFilesPresent(const FileStatusMap& recoveryFiles);
