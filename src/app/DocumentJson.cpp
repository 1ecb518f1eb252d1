#include "DocumentJson.h"

#include "document/AfterRunActions.h"
#include "document/MyDocument.h"
#include "par1/Par1StatusText.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "postprocess/PostProcessingJson.h"
#include "unrar/UnrarDocument.h"

#include <QJsonArray>

namespace {

QString fileStatusText(const FileStatus& record) {
    const QString format =
        StringTables::localized(QStringLiteral("FileStatus%1").arg(record.fileStatus()));
    if (record.fileStatus() == FileCode::FoundUnderOtherName &&
        record.associatedFilename().isNull())
        return QString();
    return formatString(format, record.associatedFilename());
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
                        {"statusText", fileStatusText(record)},
                        {"inVolumeSet", record.fileInVolumeSet()},
                        {"associatedFilename", optionalText(record.associatedFilename())}});
    return array;
}

QJsonArray recoveryFiles(const FileStatusMap& files) {
    QJsonArray array;
    for (const FileStatus& record : files)
        array.append(
            QJsonObject{{"name", record.filename()},
                        {"status", record.fileStatus()},
                        {"blocks", record.numRecoveryBlocks()},
                        {"associatedFilename", optionalText(record.associatedFilename())}});
    return array;
}

} // namespace

QString DocumentJson::statusText(MyDocument& document, int32_t status) {
    if (document.parType() == ParType::Par1)
        return Par1StatusText::documentStatusText(status, document.statistics());
    if (status == DocStatus::RepairImpossible)
        return StringTables::localized(QStringLiteral("DocStatus4B"));
    return StringTables::localized(QStringLiteral("DocStatus%1").arg(status));
}

QJsonObject DocumentJson::describe(MyDocument& document) {
    const int32_t status = document.m_DocumentStatus();
    QJsonArray statistics;
    for (uint32_t counter : document.statistics().counters)
        statistics.append(qint64(counter));
    return QJsonObject{{"path", document.fileName()},
                       {"type", document.fileType()},
                       {"status", status},
                       {"statusText", statusText(document, status)},
                       {"files", subjectFiles(document.fileStatusSnapshot())},
                       {"recoveryFiles", recoveryFiles(document.pxxFileStatusSnapshot())},
                       {"statistics", statistics},
                       {"postProcessing", PostProcessingJson::describe(
                                              document.afterRunActions().postProcessingRecord())}};
}

QJsonObject DocumentJson::describeArchive(const UnrarDocument& archive) {
    return QJsonObject{
        {"path", archive.fileName()},
        {"type", archive.fileType()},
        {"extraction", PostProcessingJson::describeExtraction(archive.extractionResult())}};
}
