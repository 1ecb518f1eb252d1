#pragma once

#include "CoefficientMatrix.h"
#include "RegionMultiplier.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::par1 {

// outputs[r] = sum over c of coefficients(r, c) * inputs[c], byte by byte in GF(2^8). Works in
// slices small enough that one output slice and the matching input slices stay in cache.
class LinearCombiner {
public:
    explicit LinearCombiner(CoefficientMatrix coefficients,
                            RegionMultiplier multiplier = RegionMultiplier());

    void combine(std::span<const std::uint8_t* const> inputs,
                 std::span<std::uint8_t* const> outputs, std::size_t size) const;

private:
    CoefficientMatrix coefficients_;
    RegionMultiplier multiplier_;
};

} // namespace velmora::par1
