#include "DocumentJson.h"

#include "app/AfterRunActions.h"
#include "document/MyDocument.h"
#include "par1/Par1StatusText.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "postprocess/PostProcessingJson.h"
#include "unrar/UnrarDocument.h"

#include <QJsonArray>
#include <array>

namespace {

QString fileStatusText(const FileStatus& record) {
    const QString format =
        StringTables::localized(QStringLiteral("FileStatus%1").arg(record.fileStatus()));
    if (record.fileStatus() == FileCode::FoundUnderOtherName &&
        record.associatedFilename().isNull())
        return QString();
    return formatString(format, record.associatedFilename());
}

// Names scripts can match instead of numbers; the order is the codes' order.
QString documentStatusName(int32_t status) {
    static const std::array names = {"idle",
                                     "verifying",
                                     "repairing",
                                     "stopped",
                                     "repairImpossible",
                                     "allIntact",
                                     "allIntactRenamed",
                                     "repaired",
                                     "repairedRenamed",
                                     "notARecoveryFile",
                                     "readyToCreate",
                                     "creating",
                                     "created",
                                     "restorableIntact",
                                     "restorableIntactRenamed",
                                     "helperErrors",
                                     "waiting",
                                     "helperStalled"};
    static_assert(names.size() == size_t(DocStatus::HelperStalled) + 1);
    return status >= 0 && size_t(status) < names.size() ? QString::fromLatin1(names[status])
                                                        : QString();
}

QString fileStatusName(int32_t status) {
    static const std::array names = {"notExamined",
                                     "intact",
                                     "damaged",
                                     "foundUnderOtherName",
                                     "missing",
                                     "missingRecoverable",
                                     "missingUnrecoverable",
                                     "damagedRecoverable",
                                     "damagedUnrecoverable",
                                     "repaired",
                                     "toBeProtected"};
    static_assert(names.size() == size_t(FileCode::ToBeProtected) + 1);
    return status >= 0 && size_t(status) < names.size() ? QString::fromLatin1(names[status])
                                                        : QString();
}

QJsonObject statisticsObject(const StatisticsRecord& statistics) {
    using S = StatisticsRecord;
    return QJsonObject{{"intactFiles", qint64(statistics[S::IntactFiles])},
                       {"damagedFiles", qint64(statistics[S::DamagedFiles])},
                       {"missingFiles", qint64(statistics[S::MissingFiles])},
                       {"recoveryVolumesFound", qint64(statistics[S::RecoveryVolumesFound])},
                       {"badFilesNotInVolumeSet", qint64(statistics[S::BadFilesNotInVolumeSet])},
                       {"totalFiles", qint64(statistics[S::TotalFiles])},
                       {"blockSize", qint64(statistics[S::BlockSize])},
                       {"missingBlocks", qint64(statistics[S::MissingBlocks])},
                       {"removedFiles", qint64(statistics.removedFiles)}};
}

QJsonValue optionalText(const QString& text) {
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

QJsonArray subjectFiles(const FileStatusMap& files) {
    QJsonArray array;
    for (const FileStatus& record : files)
        array.append(
            QJsonObject{{"name", record.filename()},
                        {"status", record.fileStatus()},
                        {"statusName", fileStatusName(record.fileStatus())},
                        {"statusText", fileStatusText(record)},
                        {"inVolumeSet", record.fileInVolumeSet()},
                        {"associatedFilename", optionalText(record.associatedFilename())}});
    return array;
}

QJsonArray recoveryFiles(const FileStatusMap& files) {
    QJsonArray array;
    for (const FileStatus& record : files)
        array.append(QJsonObject{{"name", record.filename()},
                                 {"status", record.fileStatus()},
                                 {"blocks", record.numRecoveryBlocks()},
                                 {"associatedFilename", optionalText(record.associatedFilename())},
                                 {"damagedCopy", record.isDamagedCopy()}});
    return array;
}

// A document made without a controller has no after-run actions: nothing was done after its run.
PostProcessingRecord postProcessingRecord(const MyDocument& document) {
    const AfterRunActions* actions = AfterRunActions::of(document);
    return actions != nullptr ? actions->postProcessingRecord() : PostProcessingRecord();
}

} // namespace

QString DocumentJson::statusName(int32_t status) {
    return documentStatusName(status);
}

QString DocumentJson::fileStatusName(int32_t status) {
    return ::fileStatusName(status);
}

QString DocumentJson::statusText(MyDocument& document, int32_t status) {
    if (document.parType() == ParType::Par1)
        return Par1StatusText::documentStatusText(status, document.statistics());
    if (status == DocStatus::RepairImpossible)
        return StringTables::localized(QStringLiteral("DocStatus4B"));
    return StringTables::localized(QStringLiteral("DocStatus%1").arg(status));
}

QJsonObject DocumentJson::describe(MyDocument& document) {
    const int32_t status = document.m_DocumentStatus();
    return QJsonObject{
        {"schema", kSchema},
        {"path", document.fileName()},
        {"type", document.fileType()},
        {"status", status},
        {"statusName", documentStatusName(status)},
        {"statusText", statusText(document, status)},
        {"files", subjectFiles(document.fileStatusSnapshot())},
        {"recoveryFiles", recoveryFiles(document.pxxFileStatusSnapshot())},
        {"statistics", statisticsObject(document.statistics())},
        {"postProcessing", PostProcessingJson::describe(postProcessingRecord(document))}};
}

QJsonObject DocumentJson::describeArchive(const UnrarDocument& archive) {
    return QJsonObject{
        {"schema", kSchema},
        {"path", archive.fileName()},
        {"type", archive.fileType()},
        {"extraction", PostProcessingJson::describeExtraction(archive.extractionResult())}};
}
