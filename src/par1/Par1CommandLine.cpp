#include "Par1CommandLine.h"

#include "platform/FilenameSort.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QFileInfo>
#include <algorithm>

QStringList Par1CommandLine::makeRepairParamArray(const QString& parFilePath) {
    return {QStringLiteral("r"),
            QStringLiteral("-O"),
            QStringLiteral("+C"),
            QStringLiteral("-f"),
            QStringLiteral("-m"),
            QStringLiteral("--"),
            QFileInfo(parFilePath).fileName()};
}

QStringList Par1CommandLine::makeCreateParamArray(const QString& parFilePath,
                                                  const QStringList& subjectFiles,
                                                  int volumeCount) {
    QStringList names = subjectFiles;
    std::sort(names.begin(), names.end(), FilenameLess());
    return QStringList{QStringLiteral("a"), QStringLiteral("-O"),
                       QStringLiteral("-n%1").arg(volumeCount), QStringLiteral("--"),
                       QFileInfo(parFilePath).fileName()} +
           names;
}

// A group size below 1 has no meaning; it counts as one volume per file.
int Par1CommandLine::CalcDefaultNumberPnn(int numSubjectFiles) {
    int count = Preferences::integerForKey(PrefKey::AbsNumValue);
    if (Preferences::integerForKey(PrefKey::NumMethod) == NumMethodValue::EveryXFiles) {
        const int groupSize = std::max(Preferences::integerForKey(PrefKey::EveryXFilesValue), 1);
        count = numSubjectFiles <= 0 ? 0 : (numSubjectFiles - 1) / groupSize + 1;
    }
    return std::clamp(count, 0, kMaxVolumes);
}
