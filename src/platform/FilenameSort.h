#pragma once

#include <QString>

// The one order for file names: runs of ASCII digits compare by value (part9
// before part10), the text between them without case. A strict weak ordering.
// Returns -1, 0 or +1. The context argument is ignored.
int FilenameSort(const QString& a, const QString& b, void* context = nullptr);

// For std::sort and friends.
struct FilenameLess {
    bool operator()(const QString& a, const QString& b) const { return FilenameSort(a, b) < 0; }
};
