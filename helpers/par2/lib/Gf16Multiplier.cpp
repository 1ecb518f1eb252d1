#include "Gf16Multiplier.h"

#include "Gf16.h"
#include "Gf16Kernels.h"

namespace velmora::par2 {
namespace {

// The product with each nibble value is the sum of the products with its set bits.
Gf16FactorTables tablesFor(std::uint16_t factor) {
    Gf16FactorTables tables;
    for (int position = 0; position < 4; ++position) {
        std::uint16_t bitProducts[4];
        for (int bit = 0; bit < 4; ++bit)
            bitProducts[bit] =
                Gf16::multiply(factor, static_cast<std::uint16_t>(1u << (position * 4 + bit)));
        for (unsigned value = 0; value < 16; ++value) {
            std::uint16_t product = 0;
            for (int bit = 0; bit < 4; ++bit) {
                if (value & (1u << bit))
                    product ^= bitProducts[bit];
            }
            tables.words[position][value] = product;
            tables.lowBytes[position][value] = static_cast<std::uint8_t>(product);
            tables.highBytes[position][value] = static_cast<std::uint8_t>(product >> 8);
        }
    }
    return tables;
}

void xorRegion(const std::uint8_t* src, std::uint8_t* dst, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        dst[i] ^= src[i];
}

} // namespace

Gf16Multiplier::Kernel Gf16Multiplier::bestKernel() {
    return par1::bestSimdKernel();
}

std::vector<Gf16Multiplier::Kernel> Gf16Multiplier::availableKernels() {
    return par1::availableSimdKernels();
}

std::string_view Gf16Multiplier::kernelName(Kernel kernel) {
    return par1::simdKernelName(kernel);
}

Gf16Multiplier::Gf16Multiplier(Kernel kernel) : multiply_(&gf16MultiplyAddScalar) {
#if VELMORA_PAR_X86_KERNELS
    if (kernel == Kernel::Ssse3)
        multiply_ = &gf16MultiplyAddSsse3;
    if (kernel == Kernel::Avx2)
        multiply_ = &gf16MultiplyAddAvx2;
#else
    (void)kernel;
#endif
}

void Gf16Multiplier::multiplyAdd(std::uint16_t factor, const std::uint8_t* src, std::uint8_t* dst,
                                 std::size_t size) const {
    if (factor == 0)
        return;
    if (factor == 1)
        xorRegion(src, dst, size);
    else
        multiply_(tablesFor(factor), src, dst, size);
}

} // namespace velmora::par2
