#pragma once

#include "AtomicOutputFile.h"
#include "Par1FileEntry.h"
#include "RecoveryPlan.h"

#include <functional>
#include <vector>

namespace velmora::par1 {

// A file restored under a temporary name, waiting to be moved into place.
struct RestoredFile {
    AtomicOutputFile output;
    bool matchesListedHash = false;
};

// Computes missing files from the intact files and the chosen volumes in one streaming pass
// and writes each beside its final name.
class FileRestorer {
public:
    struct Source {
        const FileHandle* file;
        std::uint64_t offset;
        std::uint64_t length;
    };

    // intact and volumes follow the order of plan.intactFiles() and plan.volumes().
    FileRestorer(const RecoveryPlan& plan, std::vector<Source> intact, std::vector<Source> volumes,
                 std::uint64_t blockSize);

    // missing and targets (where each restored file goes) follow the plan's rows; progress
    // receives the fraction of the reading done, from 0 to 1.
    std::vector<RestoredFile> run(const std::vector<const Par1FileEntry*>& missing,
                                  const std::vector<std::filesystem::path>& targets,
                                  const std::function<void(double)>& progress);

private:
    const RecoveryPlan& plan_;
    std::vector<Source> sources_;
    std::uint64_t blockSize_;
};

} // namespace velmora::par1
