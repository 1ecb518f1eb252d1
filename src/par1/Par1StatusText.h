#pragma once

#include "document/StatisticsRecord.h"

#include <QString>
#include <cstdint>

// The status line of a PAR 1 set: status 4 names the number of recovery
// volumes still needed, from the set's statistics (CountStatistics).
class Par1StatusText {
public:
    // How many more recovery volumes a set that cannot be repaired needs: the
    // damaged and missing files it protects minus the volumes found.
    static int64_t shortfall(const StatisticsRecord& statistics);
    // The string-table key of a document status and the number its text takes
    // (the shortfall for status 4, else none).
    struct Key {
        QString key;
        int64_t argument = 0;
        bool hasArgument = false;
    };
    static Key documentStatusKey(int32_t status, const StatisticsRecord& statistics);
    // The text of that key, formatted.
    static QString documentStatusText(int32_t status, const StatisticsRecord& statistics);
};
