#pragma once

#include "CoefficientMatrix.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::par1 {

// Which recovery volumes restore a given set of missing files, and the linear map that does it:
// every missing file is a combination of the intact files and the chosen volumes' parity blocks.
class RecoveryPlan {
public:
    // missing: positions (0-based, in parity order) of the files to restore; available: volume
    // numbers (>= 1) that can be read, in order of preference. Empty when no choice of volumes
    // gives a solvable system.
    static std::optional<RecoveryPlan> choose(std::size_t parityFileCount,
                                              const std::vector<std::size_t>& missing,
                                              const std::vector<std::uint64_t>& available);

    const std::vector<std::size_t>& intactFiles() const { return intactFiles_; }
    const std::vector<std::uint64_t>& volumes() const { return volumes_; }
    // One row per missing file; the columns are the intact files, then the chosen volumes.
    const CoefficientMatrix& coefficients() const { return coefficients_; }

private:
    RecoveryPlan(std::vector<std::size_t> intactFiles, std::vector<std::uint64_t> volumes,
                 CoefficientMatrix coefficients);

    std::vector<std::size_t> intactFiles_;
    std::vector<std::uint64_t> volumes_;
    CoefficientMatrix coefficients_;
};

} // namespace velmora::par1
