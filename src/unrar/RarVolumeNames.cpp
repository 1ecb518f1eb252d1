#include "RarVolumeNames.h"

#include <QFileInfo>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool allAsciiDigits(const QString& text) {
    for (QChar c : text)
        if (!isAsciiDigit(c))
            return false;
    return true;
}

int extensionDot(const QString& path) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash + 1 ? dot : -1;
}

bool existsFollowingLinks(const QString& path) {
    return QFileInfo::exists(path);
}

QString nextPartNumberedName(const QString& path, const QString& extension) {
    const QString withoutExtension = RarPathWithoutExtension(path);
    const QString partField = RarPathExtension(withoutExtension);
    uint32_t number = 0;
    const int32_t digits = DeterminePartNum(partField, &number);
    if (digits == -1) {
        const bool upper = extension.at(0) == QLatin1Char('R');
        return withoutExtension + QLatin1Char('.') +
               (upper ? QStringLiteral("R00") : QStringLiteral("r00"));
    }
    if ((digits == 1 && number == 9) || (digits == 2 && number == 99) ||
        (digits == 3 && number == 999))
        return {};
    const QString nextField = partField.left(partField.size() - digits) +
                              QStringLiteral("%1").arg(number + 1, digits, 10, QLatin1Char('0'));
    const bool isExe = extension.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0;
    return RarPathWithoutExtension(withoutExtension) + QLatin1Char('.') + nextField +
           QLatin1Char('.') + (isExe ? QStringLiteral("rar") : extension);
}

QString candidateAfter(const QString& path) {
    const QString extension = RarPathExtension(path);
    if (extension.size() != 3)
        return {};
    if (extension.compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0 ||
        extension.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0)
        return nextPartNumberedName(path, extension);
    uint32_t ordinal = 0;
    const QString classic = DetermineNextClassicRarExtension(extension, &ordinal);
    if (!classic.isNull())
        return RarPathWithoutExtension(path) + QLatin1Char('.') + classic;
    if (!allAsciiDigits(extension))
        return {};
    return RarPathWithoutExtension(path) + QLatin1Char('.') +
           QStringLiteral("%1").arg(extension.toInt() + 1, 3, 10, QLatin1Char('0'));
}

} // namespace

QString RarPathExtension(const QString& path) {
    const int dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString RarPathWithoutExtension(const QString& path) {
    const int dot = extensionDot(path);
    return dot < 0 ? path : path.left(dot);
}

int32_t DeterminePartNum(const QString& partField, uint32_t* number) {
    if (partField.size() < 5 || !partField.startsWith(QLatin1String("part")))
        return -1;
    const QString digits = partField.mid(4);
    if (digits.size() > 3 || !allAsciiDigits(digits))
        return -1;
    *number = digits.toUInt();
    return int32_t(digits.size());
}

QString DetermineNextClassicRarExtension(const QString& extension, uint32_t* ordinal) {
    const QString lower = extension.toLower();
    if (lower.size() < 3 || lower.at(0) < QLatin1Char('r') || lower.at(0) > QLatin1Char('z') ||
        !isAsciiDigit(lower.at(1)) || !isAsciiDigit(lower.at(2)) ||
        lower.left(3) == QLatin1String("z99"))
        return {};
    const uint32_t letter = lower.at(0).unicode() - 'r';
    const uint32_t number = lower.mid(1, 2).toUInt();
    const QChar first = extension.at(0);
    if (number < 99) {
        *ordinal = letter * 100 + number + 1;
        return first + QStringLiteral("%1").arg(number + 1, 2, 10, QLatin1Char('0'));
    }
    *ordinal = (letter + 1) * 100;
    return QChar(first.unicode() + 1) + QStringLiteral("00");
}

QString GetNextRARFilename(const QString& volumePath) {
    const QString candidate = candidateAfter(volumePath);
    if (candidate.isNull())
        return {};
    if (existsFollowingLinks(candidate))
        return candidate;
    if (RarPathExtension(candidate) == QLatin1String("r00")) {
        const QString upper = RarPathWithoutExtension(candidate) + QStringLiteral(".R00");
        if (existsFollowingLinks(upper))
            return upper;
    }
    return {};
}
