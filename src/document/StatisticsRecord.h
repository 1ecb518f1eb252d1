#pragma once

#include <array>
#include <cstdint>

// The eight counters the window shows for a set.
struct StatisticsRecord {
    enum Index {
        IntactFiles = 0,
        DamagedFiles = 1,
        MissingFiles = 2,
        RecoveryVolumesFound = 3,
        BadFilesNotInVolumeSet = 4,
        TotalFiles = 5,
        BlockSize = 6,
        MissingBlocks = 7,
    };

    std::array<uint32_t, 8> counters{};
    // PAR 2: data blocks that verification found missing or damaged. Kept
    // beside the eight counters, whose list reports read as they are.
    uint32_t unavailableBlocks = 0;
    // Files of the set that were moved to the trash or deleted after the run;
    // the other counters count only files that are still there.
    uint32_t removedFiles = 0;

    uint32_t& operator[](Index index) { return counters[index]; }
    uint32_t operator[](Index index) const { return counters[index]; }
    bool operator==(const StatisticsRecord&) const = default;
};
