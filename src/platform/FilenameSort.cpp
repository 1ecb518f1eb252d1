#include "FilenameSort.h"

#include <algorithm>

namespace {

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

int sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// The run of digits or of other characters that starts at `from`.
QStringView runAt(QStringView text, qsizetype from) {
    const bool digits = isAsciiDigit(text[from]);
    qsizetype end = from + 1;
    while (end < text.size() && isAsciiDigit(text[end]) == digits)
        ++end;
    return text.sliced(from, end - from);
}

// By value, of any length: without leading zeros the longer number is larger.
int compareNumbers(QStringView a, QStringView b) {
    const auto significant = [](QStringView digits) {
        qsizetype zeros = 0;
        while (zeros < digits.size() - 1 && digits[zeros] == u'0')
            ++zeros;
        return digits.sliced(zeros);
    };
    const QStringView x = significant(a);
    const QStringView y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return sign(x.compare(y));
}

// A number sorts where a digit would among the other characters; folding case
// never moves a character across the digits, so the order stays consistent.
int compareRuns(QStringView a, QStringView b) {
    const bool aNumber = isAsciiDigit(a[0]);
    const bool bNumber = isAsciiDigit(b[0]);
    if (aNumber && bNumber)
        return compareNumbers(a, b);
    if (aNumber != bNumber) {
        const QStringView text = aNumber ? b : a;
        const int textFirst = sign(QStringView(u"0").compare(text.first(1), Qt::CaseInsensitive));
        return aNumber ? textFirst : -textFirst;
    }
    // Names of one set share most of their runs; equal ones need no case folding.
    if (a == b)
        return 0;
    return sign(a.compare(b, Qt::CaseInsensitive));
}

} // namespace

// Run by run, so the order is a strict weak ordering whatever the names.
int FilenameSort(const QString& a, const QString& b, void*) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView runA = runAt(a, i);
        const QStringView runB = runAt(b, j);
        if (const int order = compareRuns(runA, runB); order != 0)
            return order;
        i += runA.size();
        j += runB.size();
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}
