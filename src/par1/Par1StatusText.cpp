#include "Par1StatusText.h"

#include "document/StatusCodes.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

int64_t Par1StatusText::shortfall(const StatisticsRecord& statistics) {
    return int64_t(statistics[StatisticsRecord::MissingFiles]) +
           statistics[StatisticsRecord::DamagedFiles] -
           statistics[StatisticsRecord::BadFilesNotInVolumeSet] -
           statistics[StatisticsRecord::RecoveryVolumesFound];
}

// A shortfall below 1 (volumes that cannot restore these files together, or a
// count that took in the main file) gives no number to show.
Par1StatusText::Key Par1StatusText::documentStatusKey(int32_t status,
                                                      const StatisticsRecord& statistics) {
    if (status != DocStatus::RepairImpossible)
        return {QStringLiteral("DocStatus%1").arg(status)};
    const int64_t needed = shortfall(statistics);
    if (needed == 1)
        return {QStringLiteral("DocStatus%1A").arg(status)};
    if (needed < 1)
        return {QStringLiteral("DocStatus%1C").arg(status)};
    return {QStringLiteral("DocStatus%1").arg(status), needed, true};
}

QString Par1StatusText::documentStatusText(int32_t status, const StatisticsRecord& statistics) {
    const Key key = documentStatusKey(status, statistics);
    const QString text = StringTables::localized(key.key);
    return key.hasArgument ? formatString(text, qlonglong(key.argument)) : text;
}
