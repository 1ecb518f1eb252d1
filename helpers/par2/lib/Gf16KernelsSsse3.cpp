#include "Gf16Kernels.h"

#include <immintrin.h>

namespace velmora::par2 {

// 16 words at a time: the low and high bytes are gathered into two registers, each of the four
// nibbles indexes a 16-entry table of product bytes, and the result bytes are woven back.
void gf16MultiplyAddSsse3(const Gf16FactorTables& tables, const std::uint8_t* src,
                          std::uint8_t* dst, std::size_t size) {
    const __m128i nibble = _mm_set1_epi8(0x0f);
    const __m128i gather = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    __m128i low[4];
    __m128i high[4];
    for (int k = 0; k < 4; ++k) {
        low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowBytes[k]));
        high[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highBytes[k]));
    }
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        const __m128i a =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), gather);
        const __m128i b = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16)), gather);
        const __m128i lowBytes = _mm_unpacklo_epi64(a, b);
        const __m128i highBytes = _mm_unpackhi_epi64(a, b);
        const __m128i n[4] = {
            _mm_and_si128(lowBytes, nibble), _mm_and_si128(_mm_srli_epi16(lowBytes, 4), nibble),
            _mm_and_si128(highBytes, nibble), _mm_and_si128(_mm_srli_epi16(highBytes, 4), nibble)};
        __m128i resultLow = _mm_setzero_si128();
        __m128i resultHigh = _mm_setzero_si128();
        for (int k = 0; k < 4; ++k) {
            resultLow = _mm_xor_si128(resultLow, _mm_shuffle_epi8(low[k], n[k]));
            resultHigh = _mm_xor_si128(resultHigh, _mm_shuffle_epi8(high[k], n[k]));
        }
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(
            out, _mm_xor_si128(_mm_loadu_si128(out), _mm_unpacklo_epi8(resultLow, resultHigh)));
        _mm_storeu_si128(out + 1, _mm_xor_si128(_mm_loadu_si128(out + 1),
                                                _mm_unpackhi_epi8(resultLow, resultHigh)));
    }
    gf16MultiplyAddScalar(tables, src + i, dst + i, size - i);
}

} // namespace velmora::par2
