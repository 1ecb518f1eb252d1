#pragma once

#include "Gf16Multiplier.h"
#include "SourceFile.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace velmora::par2 {

// Where one input of a combination lies: length bytes at offset of file, zeros after them up to
// the slice size.
struct SliceSource {
    const SourceFile* file;
    std::uint64_t offset;
    std::uint64_t length;
};

// outputs[r] = sum over k of coefficient(r, k) * inputs[k], in GF(2^16), for slices of any size
// within a memory budget: when the outputs and a batch of inputs do not fit whole, the slices are
// worked through in ranges, each range of every output handed to the sink once, in order.
class SliceCombiner {
public:
    using Coefficient = std::function<std::uint16_t(std::size_t output, std::size_t input)>;
    using Sink = std::function<void(std::size_t output, std::uint64_t offset,
                                    std::span<const std::uint8_t> data)>;
    // Fraction of the work done, from 0 to 1.
    using Progress = std::function<void(double)>;

    SliceCombiner(std::uint64_t sliceSize, std::uint64_t memoryBudget,
                  Gf16Multiplier multiplier = Gf16Multiplier());

    void run(const std::vector<SliceSource>& inputs, std::size_t outputCount,
             const Coefficient& coefficient, const Sink& sink, const Progress& progress) const;

private:
    std::size_t rangeSize(std::size_t outputCount) const;

    std::uint64_t sliceSize_;
    std::uint64_t memoryBudget_;
    Gf16Multiplier multiplier_;
};

} // namespace velmora::par2
