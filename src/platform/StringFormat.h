#pragma once

#include <QString>
#include <QVariantList>

// printf-style formatting of the string tables' formats: %@ and %s (text), %d %i
// %ld %lld %u %lu %llu %x (integers), %f and %.Nf (reals), %c, %% and positional
// forms such as %1$@. A missing argument formats as empty; text is never
// re-interpreted, so "%d" inside an argument stays as it is.
QString formatString(const QString& format, const QVariantList& arguments);

template <typename... Args> QString formatString(const QString& format, const Args&... arguments) {
    return formatString(format, QVariantList{QVariant::fromValue(arguments)...});
}

// A path as the user reads it: the home folder written as "~".
QString pathForDisplay(const QString& path);
