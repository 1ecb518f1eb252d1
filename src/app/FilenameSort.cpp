#include "FilenameSort.h"

#include <algorithm>
#include <initializer_list>

namespace {

char16_t folded(QChar c) {
    const char16_t unit = c.unicode();
    return unit >= u'a' && unit <= u'z' ? char16_t(unit - u'a' + u'A') : unit;
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), isAsciiDigit);
}

int sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int compareAsText(const QString& a, const QString& b) {
    return sign(QString::compare(a, b, Qt::CaseInsensitive));
}

qsizetype commonPrefixLength(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && folded(a[i]) == folded(b[i]))
        ++i;
    return i;
}

qsizetype commonSuffixLength(QStringView a, QStringView b) {
    const qsizetype m = std::min(a.size(), b.size());
    qsizetype s = 0;
    while (s < m && folded(a[a.size() - 1 - s]) == folded(b[b.size() - 1 - s]))
        ++s;
    return s;
}

// The value of the digits of the parts read as one number; no more than nine
// digits reach here.
int digitsValue(std::initializer_list<QStringView> parts) {
    int value = 0;
    for (QStringView part : parts)
        for (QChar c : part)
            value = value * 10 + (c.unicode() - u'0');
    return value;
}

} // namespace

QString TrailingDigits(const QString& text) {
    qsizetype start = text.size();
    while (start > 0 && isAsciiDigit(text[start - 1]))
        --start;
    return text.mid(start);
}

QString LeadingDigits(const QString& text) {
    qsizetype end = 0;
    while (end < text.size() && isAsciiDigit(text[end]))
        ++end;
    return text.left(end);
}

int FilenameSort(const QString& a, const QString& b, void*) {
    const qsizetype p = commonPrefixLength(a, b);
    const QStringView ra = QStringView(a).mid(p);
    const QStringView rb = QStringView(b).mid(p);
    const qsizetype s = commonSuffixLength(ra, rb);
    const QStringView ma = ra.left(ra.size() - s);
    const QStringView mb = rb.left(rb.size() - s);
    if (!allDigits(ma) || !allDigits(mb))
        return compareAsText(a, b);

    // The digits around the differing parts belong to the numbers compared.
    const QStringView prefix = QStringView(a).left(p);
    qsizetype beforeStart = prefix.size();
    while (beforeStart > 0 && isAsciiDigit(prefix[beforeStart - 1]))
        --beforeStart;
    const QStringView before = prefix.mid(beforeStart);
    const QStringView suffix = ra.right(s);
    qsizetype afterEnd = 0;
    while (afterEnd < suffix.size() && isAsciiDigit(suffix[afterEnd]))
        ++afterEnd;
    const QStringView after = suffix.left(afterEnd);
    if (before.size() + ma.size() + after.size() > 9 ||
        before.size() + mb.size() + after.size() > 9)
        return compareAsText(a, b);
    return sign(digitsValue({before, ma, after}) - digitsValue({before, mb, after}));
}
