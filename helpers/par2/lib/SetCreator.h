#pragma once

#include "Par2Format.h"
#include "RecoverySet.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::par2 {

class CreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Makes a new recovery set: the main file with the descriptions and checksums only, and volumes
// of recovery slices in doubling counts (1, 2, 4, ...) named NAME.volFIRST+COUNT.par2, each
// with a copy of the descriptions. Nothing is in place until every file is complete.
class SetCreator {
public:
    struct Options {
        std::optional<std::uint64_t> blockSize;
        unsigned redundancy = 5;
        // Keep each volume no larger than the largest protected file.
        bool limitVolumeSize = false;
        std::uint64_t memoryBudget = kDefaultMemoryBudget;
    };
    struct Plan {
        std::uint64_t blockSize = 0;
        std::uint32_t sourceBlocks = 0;
        std::uint32_t recoveryBlocks = 0;
        // First exponent and count of each volume.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> volumes;
    };
    using Progress = std::function<void(double)>;

    // files: names of non-empty regular files, relative to the working folder.
    SetCreator(std::filesystem::path mainFile, std::vector<std::string> files, Options options);

    const Plan& plan() const { return plan_; }
    std::vector<std::filesystem::path> outputNames() const;
    void create(const Progress& progress);

    static std::uint64_t chooseBlockSize(const std::vector<std::uint64_t>& sizes);
    static std::string volumeName(const std::string& base, std::uint32_t first, std::uint32_t count,
                                  const Plan& plan);

private:
    std::vector<FileDescription> describe() const;

    std::filesystem::path mainFile_;
    std::vector<std::string> files_;
    std::vector<std::uint64_t> sizes_;
    Options options_;
    Plan plan_;
};

} // namespace velmora::par2
