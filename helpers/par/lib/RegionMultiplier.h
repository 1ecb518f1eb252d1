#pragma once

#include "SimdKernels.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::par1 {

struct FactorTables;

// Multiply-accumulate of a byte region by a constant in GF(2^8): dst ^= factor * src. The kernel
// is chosen once from what the processor offers; tests can pick each one explicitly.
class RegionMultiplier {
public:
    using Kernel = SimdKernel;

    static Kernel bestKernel();
    static std::vector<Kernel> availableKernels();
    static std::string_view kernelName(Kernel kernel);

    explicit RegionMultiplier(Kernel kernel = bestKernel());

    void multiplyAdd(std::uint8_t factor, const std::uint8_t* src, std::uint8_t* dst,
                     std::size_t size) const;

private:
    using MultiplyFunction = void (*)(const FactorTables&, const std::uint8_t*, std::uint8_t*,
                                      std::size_t);
    using XorFunction = void (*)(const std::uint8_t*, std::uint8_t*, std::size_t);

    MultiplyFunction multiply_;
    XorFunction xor_;
};

} // namespace velmora::par1
