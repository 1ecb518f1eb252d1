#pragma once

#include "SimdKernels.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::par2 {

struct Gf16FactorTables;

// Multiply-accumulate of a region of little-endian 16-bit words by a constant in GF(2^16):
// dst ^= factor * src. The kernel is chosen once from what the processor offers; tests and the
// benchmark can pick each one explicitly.
class Gf16Multiplier {
public:
    using Kernel = par1::SimdKernel;

    static Kernel bestKernel();
    static std::vector<Kernel> availableKernels();
    static std::string_view kernelName(Kernel kernel);

    explicit Gf16Multiplier(Kernel kernel = bestKernel());

    // size must be even.
    void multiplyAdd(std::uint16_t factor, const std::uint8_t* src, std::uint8_t* dst,
                     std::size_t size) const;

private:
    using Function = void (*)(const Gf16FactorTables&, const std::uint8_t*, std::uint8_t*,
                              std::size_t);
    Function multiply_;
};

} // namespace velmora::par2
