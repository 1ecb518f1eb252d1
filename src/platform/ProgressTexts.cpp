#include "ProgressTexts.h"

#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace ProgressTexts {

namespace {
constexpr double kMinimumFraction = 0.02;
constexpr qint64 kMinimumElapsedMs = 3000;
} // namespace

QString sizeText(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString timeLeftText(double fraction, qint64 elapsedMs) {
    if (!std::isfinite(fraction) || fraction < kMinimumFraction || fraction >= 1.0 ||
        elapsedMs < kMinimumElapsedMs)
        return QString();
    const auto seconds = qint64(double(elapsedMs) * (1.0 - fraction) / fraction / 1000.0);
    if (seconds < 60)
        return formatString(StringTables::localized(QStringLiteral("ProgressSecondsLeft")),
                            qMax<qint64>(seconds, 1));
    return formatString(StringTables::localized(QStringLiteral("ProgressMinutesLeft")),
                        (seconds + 30) / 60);
}

QString percentText(double fraction, qint64 elapsedMs) {
    // Whole percents, never rounded up to a 100 % that is not there yet.
    const int whole = int(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0 + 1e-9));
    const QString percent = QStringLiteral("%1 %").arg(whole);
    const QString left = timeLeftText(fraction, elapsedMs);
    return left.isNull() ? percent : percent + QStringLiteral(" \u2013 ") + left;
}

} // namespace ProgressTexts
