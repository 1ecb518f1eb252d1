#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::par2 {

// The products of one factor, in the forms the kernels look them up: per 4-bit nibble of a word,
// whole for the scalar kernel and split into low and high bytes for the shuffle kernels, which
// look up 16 entries at a time; and as the four 8x8 bit matrices of the affine instructions
// (low result byte from the low and from the high source byte, then the high result byte).
struct Gf16FactorTables {
    std::uint16_t factor;
    std::uint16_t words[4][16];
    alignas(16) std::uint8_t lowBytes[4][16];
    alignas(16) std::uint8_t highBytes[4][16];
    std::uint64_t affine[4];
};

// The kernels work on blocks of 32 words laid out as their 32 low bytes, then their 32 high
// bytes, so no kernel spends instructions taking words apart. Sizes are multiples of 64.
constexpr std::size_t kGf16BlockSize = 64;

void gf16SplitScalar(std::uint8_t* data, std::size_t size);
void gf16JoinScalar(std::uint8_t* data, std::size_t size);
// dst ^= factor * src.
void gf16MultiplyAddScalar(const Gf16FactorTables& tables, const std::uint8_t* src,
                           std::uint8_t* dst, std::size_t size);

#if VELMORA_PAR_X86_KERNELS
void gf16SplitSsse3(std::uint8_t* data, std::size_t size);
void gf16JoinSsse3(std::uint8_t* data, std::size_t size);
void gf16MultiplyAddSsse3(const Gf16FactorTables& tables, const std::uint8_t* src,
                          std::uint8_t* dst, std::size_t size);
void gf16MultiplyAddAvx2(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size);
void gf16MultiplyAddGfni(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size);
#endif

} // namespace velmora::par2
