#include "RegionMultiplier.h"

#include "GaloisField.h"
#include "RegionKernels.h"

#include <array>

namespace velmora::par1 {
namespace {

std::array<FactorTables, 256> makeAllFactorTables() {
    std::array<FactorTables, 256> all{};
    for (unsigned factor = 0; factor < 256; ++factor) {
        FactorTables& tables = all[factor];
        const auto f = static_cast<std::uint8_t>(factor);
        for (unsigned value = 0; value < 256; ++value)
            tables.full[value] = GaloisField::multiply(f, static_cast<std::uint8_t>(value));
        for (unsigned nibble = 0; nibble < 16; ++nibble) {
            tables.lowNibble[nibble] = tables.full[nibble];
            tables.highNibble[nibble] = tables.full[nibble << 4];
        }
    }
    return all;
}

const FactorTables& tablesFor(std::uint8_t factor) {
    static const std::array<FactorTables, 256> all = makeAllFactorTables();
    return all[factor];
}

} // namespace

RegionMultiplier::Kernel RegionMultiplier::bestKernel() {
    return bestSimdKernel();
}

std::vector<RegionMultiplier::Kernel> RegionMultiplier::availableKernels() {
    return availableSimdKernels();
}

std::string_view RegionMultiplier::kernelName(Kernel kernel) {
    return simdKernelName(kernel);
}

RegionMultiplier::RegionMultiplier(Kernel kernel)
    : multiply_(&multiplyAddScalar), xor_(&xorScalar) {
#if VELMORA_PAR_X86_KERNELS
    if (kernel == Kernel::Ssse3)
        multiply_ = &multiplyAddSsse3;
    // GF(2^8) has no affine kernel of its own; the AVX2 one serves those processors.
    if (kernel == Kernel::Avx2 || kernel == Kernel::Gfni) {
        multiply_ = &multiplyAddAvx2;
        xor_ = &xorAvx2;
    }
#else
    (void)kernel;
#endif
}

void RegionMultiplier::multiplyAdd(std::uint8_t factor, const std::uint8_t* src, std::uint8_t* dst,
                                   std::size_t size) const {
    if (factor == 0)
        return;
    if (factor == 1)
        xor_(src, dst, size);
    else
        multiply_(tablesFor(factor), src, dst, size);
}

} // namespace velmora::par1
