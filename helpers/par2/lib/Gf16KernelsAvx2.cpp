#include "Gf16Kernels.h"

#include <immintrin.h>

namespace velmora::par2 {

// The SSSE3 scheme on both 128-bit lanes: every step stays within its lane, so gathering,
// looking up and weaving back give the 64 bytes in their original order.
void gf16MultiplyAddAvx2(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size) {
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    const __m256i gather = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15));
    __m256i low[4];
    __m256i high[4];
    for (int k = 0; k < 4; ++k) {
        low[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowBytes[k])));
        high[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highBytes[k])));
    }
    std::size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const __m256i a = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), gather);
        const __m256i b = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32)), gather);
        const __m256i lowBytes = _mm256_unpacklo_epi64(a, b);
        const __m256i highBytes = _mm256_unpackhi_epi64(a, b);
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
        _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out),
                                                  _mm256_unpacklo_epi8(resultLow, resultHigh)));
        _mm256_storeu_si256(out + 1, _mm256_xor_si256(_mm256_loadu_si256(out + 1),
                                                      _mm256_unpackhi_epi8(resultLow, resultHigh)));
    }
    gf16MultiplyAddScalar(tables, src + i, dst + i, size - i);
}

} // namespace velmora::par2
