#include "Gf16Kernels.h"

#include <cstring>

namespace velmora::par2 {

void gf16MultiplyAddScalar(const Gf16FactorTables& tables, const std::uint8_t* src,
                           std::uint8_t* dst, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned word = src[i] | (unsigned(src[i + 1]) << 8);
        const unsigned product = tables.words[0][word & 15] ^ tables.words[1][(word >> 4) & 15] ^
                                 tables.words[2][(word >> 8) & 15] ^ tables.words[3][word >> 12];
        dst[i] ^= static_cast<std::uint8_t>(product);
        dst[i + 1] ^= static_cast<std::uint8_t>(product >> 8);
    }
}

} // namespace velmora::par2
