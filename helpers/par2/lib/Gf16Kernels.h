#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::par2 {

// The products of one factor with every value of each 4-bit nibble of a 16-bit word, whole for
// the scalar kernel and split into low and high bytes for the shuffle kernels, which look up 16
// entries at a time.
struct Gf16FactorTables {
    std::uint16_t words[4][16];
    alignas(16) std::uint8_t lowBytes[4][16];
    alignas(16) std::uint8_t highBytes[4][16];
};

// dst ^= factor * src over little-endian 16-bit words; size is a multiple of 2.
void gf16MultiplyAddScalar(const Gf16FactorTables& tables, const std::uint8_t* src,
                           std::uint8_t* dst, std::size_t size);

#if VELMORA_PAR_X86_KERNELS
void gf16MultiplyAddSsse3(const Gf16FactorTables& tables, const std::uint8_t* src,
                          std::uint8_t* dst, std::size_t size);
void gf16MultiplyAddAvx2(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size);
#endif

} // namespace velmora::par2
