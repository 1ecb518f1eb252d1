#include "LinearCombiner.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmora::par1 {
namespace {

constexpr std::size_t kSliceSize = 16 * 1024;

} // namespace

LinearCombiner::LinearCombiner(CoefficientMatrix coefficients, RegionMultiplier multiplier)
    : coefficients_(std::move(coefficients)), multiplier_(multiplier) {}

void LinearCombiner::combine(std::span<const std::uint8_t* const> inputs,
                             std::span<std::uint8_t* const> outputs, std::size_t size) const {
    for (std::size_t start = 0; start < size; start += kSliceSize) {
        const std::size_t length = std::min(kSliceSize, size - start);
        for (std::size_t r = 0; r < outputs.size(); ++r) {
            std::uint8_t* out = outputs[r] + start;
            std::memset(out, 0, length);
            for (std::size_t c = 0; c < inputs.size(); ++c)
                multiplier_.multiplyAdd(coefficients_.at(r, c), inputs[c] + start, out, length);
        }
    }
}

} // namespace velmora::par1
