#include "Gf16Multiplier.h"

#include "Gf16.h"

#include <bit>

namespace velmora::par2 {
namespace {

// The 8x8 bit matrix taking a byte to the sum of the columns of its set bits, in the row order
// of the affine instruction: the row of result bit i is byte 7 - i.
std::uint64_t affineMatrix(const std::uint8_t (&columns)[8]) {
    std::uint64_t matrix = 0;
    for (int i = 0; i < 8; ++i) {
        std::uint64_t row = 0;
        for (int j = 0; j < 8; ++j)
            row |= std::uint64_t((columns[j] >> i) & 1) << j;
        matrix |= row << (8 * (7 - i));
    }
    return matrix;
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

// The product with each nibble value is the sum of the products with its set bits.
Gf16Multiplier::Factor Gf16Multiplier::prepare(std::uint16_t factor) {
    Factor tables{};
    tables.factor = factor;
    std::uint16_t bitProducts[16];
    for (int bit = 0; bit < 16; ++bit)
        bitProducts[bit] = Gf16::multiply(factor, static_cast<std::uint16_t>(1u << bit));
    for (int position = 0; position < 4; ++position) {
        std::uint16_t* products = tables.words[position];
        for (unsigned value = 1; value < 16; ++value) {
            const unsigned lowest = value & -value;
            products[value] =
                products[value ^ lowest] ^ bitProducts[position * 4 + std::countr_zero(lowest)];
        }
        for (unsigned value = 0; value < 16; ++value) {
            tables.lowBytes[position][value] = static_cast<std::uint8_t>(products[value]);
            tables.highBytes[position][value] = static_cast<std::uint8_t>(products[value] >> 8);
        }
    }
    for (int target = 0; target < 2; ++target) {
        for (int source = 0; source < 2; ++source) {
            std::uint8_t columns[8];
            for (int j = 0; j < 8; ++j)
                columns[j] = static_cast<std::uint8_t>(bitProducts[source * 8 + j] >> (8 * target));
            tables.affine[target * 2 + source] = affineMatrix(columns);
        }
    }
    return tables;
}

Gf16Multiplier::Gf16Multiplier(Kernel kernel)
    : multiply_(&gf16MultiplyAddScalar), split_(&gf16SplitScalar), join_(&gf16JoinScalar) {
#if VELMORA_PAR_X86_KERNELS
    if (kernel != Kernel::Scalar) {
        split_ = &gf16SplitSsse3;
        join_ = &gf16JoinSsse3;
    }
    if (kernel == Kernel::Ssse3)
        multiply_ = &gf16MultiplyAddSsse3;
    if (kernel == Kernel::Avx2)
        multiply_ = &gf16MultiplyAddAvx2;
    if (kernel == Kernel::Gfni)
        multiply_ = &gf16MultiplyAddGfni;
#else
    (void)kernel;
#endif
}

void Gf16Multiplier::toKernelOrder(std::uint8_t* data, std::size_t size) const {
    split_(data, size);
}

void Gf16Multiplier::toFileOrder(std::uint8_t* data, std::size_t size) const {
    join_(data, size);
}

void Gf16Multiplier::multiplyAdd(const Factor& factor, const std::uint8_t* src, std::uint8_t* dst,
                                 std::size_t size) const {
    if (factor.factor == 0)
        return;
    if (factor.factor == 1)
        xorRegion(src, dst, size);
    else
        multiply_(factor, src, dst, size);
}

} // namespace velmora::par2
