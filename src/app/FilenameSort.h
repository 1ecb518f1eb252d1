#pragma once

#include <QString>

// The one order for file names: the numbers that make two names differ compare
// by value (part9 before part10), ASCII letters compare without case.
// Returns -1, 0 or +1. The context argument is ignored.
int FilenameSort(const QString& a, const QString& b, void* context = nullptr);

// The longest run of ASCII digits at the end / start of the text.
QString TrailingDigits(const QString& text);
QString LeadingDigits(const QString& text);

// For std::sort and friends.
struct FilenameLess {
    bool operator()(const QString& a, const QString& b) const { return FilenameSort(a, b) < 0; }
};
