#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::par1 {

// Products of one factor with every byte value, as one full table and as the two nibble tables
// (low nibble, high nibble) that the shuffle kernels look up 16 entries at a time.
struct FactorTables {
    alignas(64) std::uint8_t full[256];
    alignas(16) std::uint8_t lowNibble[16];
    alignas(16) std::uint8_t highNibble[16];
};

// dst[j] ^= factor * src[j] for j < size.
void multiplyAddScalar(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                       std::size_t size);
void xorScalar(const std::uint8_t* src, std::uint8_t* dst, std::size_t size);

#if VELMORA_PAR_X86_KERNELS
void multiplyAddSsse3(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                      std::size_t size);
void multiplyAddAvx2(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                     std::size_t size);
void xorAvx2(const std::uint8_t* src, std::uint8_t* dst, std::size_t size);
#endif

} // namespace velmora::par1
