#include "FilenameSort.h"

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

    const QString before = TrailingDigits(a.left(p));
    const QString after = LeadingDigits(ra.right(s).toString());
    const QString na = before + ma.toString() + after;
    const QString nb = before + mb.toString() + after;
    if (na.size() > 9 || nb.size() > 9)
        return compareAsText(a, b);
    return sign(na.toInt() - nb.toInt());
}
