#include "StatusTexts.h"

#include "document/MyDocument.h"
#include "par1/Par1StatusText.h"
#include "platform/ProgressTexts.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

namespace StatusTexts {

namespace {

QString text(const QString& key) {
    return StringTables::localized(key);
}

} // namespace

int parTypeOf(const MyDocument& document) {
    return document.parType() == ParType::Par1 ? kPar1 : kPar2;
}

QString RemovalText(const FileStatus& record) {
    switch (record.removal()) {
    case FileStatus::Removal::MovedToTrash:
        return text(QStringLiteral("FileMovedToTrash"));
    case FileStatus::Removal::Deleted:
        return text(QStringLiteral("FileDeleted"));
    case FileStatus::Removal::None:
        break;
    }
    return QString();
}

// Status 3 names the file the data was found in; without that name it says nothing.
QString FileStatusAsText(const FileStatus& record) {
    if (record.removal() != FileStatus::Removal::None)
        return RemovalText(record);
    const QString format = text(QStringLiteral("FileStatus%1").arg(record.fileStatus()));
    if (record.fileStatus() != FileCode::FoundUnderOtherName)
        return format;
    if (record.associatedFilename().isEmpty())
        return QString();
    return formatString(format, record.associatedFilename());
}

QString PxxFileStatusAsText(const FileStatus& record, int parType) {
    if (record.removal() != FileStatus::Removal::None)
        return RemovalText(record);
    if (record.isDamagedCopy())
        return formatString(text(QStringLiteral("PxxFileStatusDamagedCopy")),
                            record.associatedFilename());
    // A PAR 1 volume found by a run is a volume; one just written knows its block.
    if (parType == kPar1 && record.numRecoveryBlocks() == 0)
        return record.fileStatus() == FileCode::Intact ? text(QStringLiteral("PxxFileStatus1"))
                                                       : QString();
    const int32_t blocks = record.numRecoveryBlocks();
    const QString target = record.associatedFilename();
    if (blocks == 0)
        return text(QStringLiteral("PxxFileStatus2"));
    if (blocks < 0)
        return text(QStringLiteral("PxxFileStatus3"));
    if (blocks == 1)
        return target.isEmpty() ? text(QStringLiteral("PxxFileStatus4"))
                                : formatString(text(QStringLiteral("PxxFileStatus6")), target);
    return target.isEmpty() ? formatString(text(QStringLiteral("PxxFileStatus5")), blocks)
                            : formatString(text(QStringLiteral("PxxFileStatus7")), blocks, target);
}

// A file that is gone shows no state, and neither does one not yet looked at:
// not even OK.
QString FilestatusAsSymbol(const FileStatus& record) {
    if (record.removal() != FileStatus::Removal::None)
        return QString();
    if (!record.fileInVolumeSet())
        return kFileNotInVolumeSetIcon;
    switch (record.fileStatus()) {
    case FileCode::NotExamined:
        return QString();
    case FileCode::Damaged:
    case FileCode::Missing:
        return kFilePossibleErrorIcon;
    case FileCode::MissingRecoverable:
    case FileCode::DamagedRecoverable:
        return kFileRecoverableIcon;
    case FileCode::MissingUnrecoverable:
    case FileCode::DamagedUnrecoverable:
        return kFileErrorIcon;
    default:
        return kFileOKIcon;
    }
}

QString DocumentStatusText(int32_t status, int parType, const StatisticsRecord& statistics) {
    if (parType == kPar1)
        return Par1StatusText::documentStatusText(status, statistics);
    if (status == DocStatus::RepairImpossible)
        return text(QStringLiteral("DocStatus4B"));
    return text(QStringLiteral("DocStatus%1").arg(status));
}

QString StoppedText(const QStringList& restoredFiles) {
    if (restoredFiles.isEmpty())
        return text(QStringLiteral("DocStatus3"));
    return formatString(text(QStringLiteral("StoppedFilesPutBack")),
                        restoredFiles.join(QStringLiteral(", ")));
}

QString ProgressText(int percent, qint64 elapsedMs) {
    return ProgressTexts::percentText(percent / 100.0, elapsedMs);
}

QString SizeText(qint64 bytes) {
    return ProgressTexts::sizeText(bytes);
}

} // namespace StatusTexts
