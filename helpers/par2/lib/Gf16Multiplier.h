#pragma once

#include "Gf16Kernels.h"
#include "SimdKernels.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::par2 {

// Multiply-accumulate of a region of 16-bit words by a constant in GF(2^16): dst ^= factor * src.
// The regions are in the kernels' order (see Gf16Kernels.h): callers convert their buffers once
// with toKernelOrder, combine them many times and convert the results back with toFileOrder.
// The kernel is chosen once from what the processor offers; tests and the benchmark can pick
// each one explicitly.
class Gf16Multiplier {
public:
    using Kernel = par1::SimdKernel;
    using Factor = Gf16FactorTables;
    static constexpr std::size_t kBlockSize = kGf16BlockSize;

    static Kernel bestKernel();
    static std::vector<Kernel> availableKernels();
    static std::string_view kernelName(Kernel kernel);
    // The tables for one factor, made once and used for every region it multiplies.
    static Factor prepare(std::uint16_t factor);

    explicit Gf16Multiplier(Kernel kernel = bestKernel());

    // Sizes are multiples of kBlockSize; the words are little-endian in the file's order.
    void toKernelOrder(std::uint8_t* data, std::size_t size) const;
    void toFileOrder(std::uint8_t* data, std::size_t size) const;
    void multiplyAdd(const Factor& factor, const std::uint8_t* src, std::uint8_t* dst,
                     std::size_t size) const;

private:
    using Function = void (*)(const Gf16FactorTables&, const std::uint8_t*, std::uint8_t*,
                              std::size_t);
    using Reorder = void (*)(std::uint8_t*, std::size_t);
    Function multiply_;
    Reorder split_;
    Reorder join_;
};

} // namespace velmora::par2
