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

bool processorHas(RegionMultiplier::Kernel kernel) {
#if VELMORA_PAR_X86_KERNELS
    switch (kernel) {
    case RegionMultiplier::Kernel::Avx2:
        return __builtin_cpu_supports("avx2");
    case RegionMultiplier::Kernel::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case RegionMultiplier::Kernel::Scalar:
        return true;
    }
    return false;
#else
    return kernel == RegionMultiplier::Kernel::Scalar;
#endif
}

} // namespace

RegionMultiplier::Kernel RegionMultiplier::bestKernel() {
    static const Kernel best = availableKernels().back();
    return best;
}

std::vector<RegionMultiplier::Kernel> RegionMultiplier::availableKernels() {
    std::vector<Kernel> kernels;
    for (Kernel kernel : {Kernel::Scalar, Kernel::Ssse3, Kernel::Avx2}) {
        if (processorHas(kernel))
            kernels.push_back(kernel);
    }
    return kernels;
}

std::string_view RegionMultiplier::kernelName(Kernel kernel) {
    switch (kernel) {
    case Kernel::Avx2:
        return "avx2";
    case Kernel::Ssse3:
        return "ssse3";
    case Kernel::Scalar:
        return "scalar";
    }
    return "unknown";
}

RegionMultiplier::RegionMultiplier(Kernel kernel)
    : multiply_(&multiplyAddScalar), xor_(&xorScalar) {
#if VELMORA_PAR_X86_KERNELS
    if (kernel == Kernel::Ssse3)
        multiply_ = &multiplyAddSsse3;
    if (kernel == Kernel::Avx2) {
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
