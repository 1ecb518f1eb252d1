#include "Gf16Kernels.h"

#include <array>
#include <cstring>

namespace velmora::par2 {

void gf16SplitScalar(std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kGf16BlockSize> block;
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        for (std::size_t w = 0; w < kGf16BlockSize / 2; ++w) {
            block[w] = data[i + 2 * w];
            block[kGf16BlockSize / 2 + w] = data[i + 2 * w + 1];
        }
        std::memcpy(data + i, block.data(), block.size());
    }
}

void gf16JoinScalar(std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kGf16BlockSize> block;
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        for (std::size_t w = 0; w < kGf16BlockSize / 2; ++w) {
            block[2 * w] = data[i + w];
            block[2 * w + 1] = data[i + kGf16BlockSize / 2 + w];
        }
        std::memcpy(data + i, block.data(), block.size());
    }
}

void gf16MultiplyAddScalar(const Gf16FactorTables& tables, const std::uint8_t* src,
                           std::uint8_t* dst, std::size_t size) {
    constexpr std::size_t kHigh = kGf16BlockSize / 2;
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        for (std::size_t w = 0; w < kHigh; ++w) {
            const unsigned low = src[i + w];
            const unsigned high = src[i + kHigh + w];
            const unsigned product = tables.words[0][low & 15] ^ tables.words[1][low >> 4] ^
                                     tables.words[2][high & 15] ^ tables.words[3][high >> 4];
            dst[i + w] ^= static_cast<std::uint8_t>(product);
            dst[i + kHigh + w] ^= static_cast<std::uint8_t>(product >> 8);
        }
    }
}

} // namespace velmora::par2
