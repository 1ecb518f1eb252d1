#include "Gf16Kernels.h"

#include <immintrin.h>

namespace velmora::par2 {

// The SSSE3 scheme on a whole block at once: 32 low bytes in one register, 32 high in another.
void gf16MultiplyAddAvx2(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size) {
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    __m256i low[4];
    __m256i high[4];
    for (int k = 0; k < 4; ++k) {
        low[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowBytes[k])));
        high[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highBytes[k])));
    }
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        const __m256i lowBytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i highBytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32));
        const __m256i n[4] = {_mm256_and_si256(lowBytes, nibble),
                              _mm256_and_si256(_mm256_srli_epi16(lowBytes, 4), nibble),
                              _mm256_and_si256(highBytes, nibble),
                              _mm256_and_si256(_mm256_srli_epi16(highBytes, 4), nibble)};
        __m256i resultLow = _mm256_setzero_si256();
        __m256i resultHigh = _mm256_setzero_si256();
        for (int k = 0; k < 4; ++k) {
            resultLow = _mm256_xor_si256(resultLow, _mm256_shuffle_epi8(low[k], n[k]));
            resultHigh = _mm256_xor_si256(resultHigh, _mm256_shuffle_epi8(high[k], n[k]));
        }
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out), resultLow));
        _mm256_storeu_si256(out + 1, _mm256_xor_si256(_mm256_loadu_si256(out + 1), resultHigh));
    }
}

} // namespace velmora::par2
