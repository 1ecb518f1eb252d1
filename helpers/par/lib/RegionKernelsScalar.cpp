#include "RegionKernels.h"

#include <cstring>

namespace velmora::par1 {

void multiplyAddScalar(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                       std::size_t size) {
    for (std::size_t j = 0; j < size; ++j)
        dst[j] ^= tables.full[src[j]];
}

void xorScalar(const std::uint8_t* src, std::uint8_t* dst, std::size_t size) {
    std::size_t j = 0;
    for (; j + 8 <= size; j += 8) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, src + j, 8);
        std::memcpy(&b, dst + j, 8);
        b ^= a;
        std::memcpy(dst + j, &b, 8);
    }
    for (; j < size; ++j)
        dst[j] ^= src[j];
}

} // namespace velmora::par1
