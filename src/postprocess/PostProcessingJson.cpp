#include "PostProcessingJson.h"

#include "unrar/VLMUnrarLibGlueDelegate.h"

#include <QJsonArray>

namespace {

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QString actionName(PostProcessingRecord::Action action) {
    switch (action) {
    case PostProcessingRecord::Action::Rule:
        return QStringLiteral("rule");
    case PostProcessingRecord::Action::Extract:
        return QStringLiteral("extract");
    case PostProcessingRecord::Action::None:
        break;
    }
    return QStringLiteral("none");
}

QString outcomeName(int outcome) {
    if (outcome == UnrarOutcome::Finished)
        return QStringLiteral("success");
    if (outcome == UnrarOutcome::Canceled)
        return QStringLiteral("canceled");
    return QStringLiteral("failed");
}

} // namespace

QJsonValue PostProcessingJson::describeExtraction(const UnrarResult& result) {
    if (result.outcome == UnrarResult::kNotEnded)
        return QJsonValue();
    return QJsonObject{{"outcome", outcomeName(result.outcome)},
                       {"outputPath", textOrNull(result.outputPath)},
                       {"error", textOrNull(result.errorText)}};
}

QJsonObject PostProcessingJson::describe(const PostProcessingRecord& record) {
    QStringList deleted = record.deletedFiles;
    if (record.extraction)
        deleted += record.extraction->deletedFiles;
    return QJsonObject{
        {"action", actionName(record.action)},
        {"rule", textOrNull(record.rule)},
        {"target", textOrNull(record.target)},
        {"extraction", record.extraction ? describeExtraction(*record.extraction) : QJsonValue()},
        {"deletedFiles", QJsonArray::fromStringList(deleted)},
        {"keptDamagedCopies", QJsonArray::fromStringList(record.keptDamagedCopies)}};
}
