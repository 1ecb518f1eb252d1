#include "Gf16Kernels.h"

#include <immintrin.h>
#include <initializer_list>

namespace velmora::par2 {
namespace {

__m128i load(const std::uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

void store(std::uint8_t* at, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), value);
}

} // namespace

// Each 16 bytes of words are sorted into 8 low then 8 high bytes, and pairs of those halves
// are joined into whole registers of low and of high bytes.
void gf16SplitSsse3(std::uint8_t* data, std::size_t size) {
    const __m128i gather = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        std::uint8_t* block = data + i;
        const __m128i a = _mm_shuffle_epi8(load(block), gather);
        const __m128i b = _mm_shuffle_epi8(load(block + 16), gather);
        const __m128i c = _mm_shuffle_epi8(load(block + 32), gather);
        const __m128i d = _mm_shuffle_epi8(load(block + 48), gather);
        store(block, _mm_unpacklo_epi64(a, b));
        store(block + 16, _mm_unpacklo_epi64(c, d));
        store(block + 32, _mm_unpackhi_epi64(a, b));
        store(block + 48, _mm_unpackhi_epi64(c, d));
    }
}

void gf16JoinSsse3(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        std::uint8_t* block = data + i;
        const __m128i low0 = load(block), low1 = load(block + 16);
        const __m128i high0 = load(block + 32), high1 = load(block + 48);
        store(block, _mm_unpacklo_epi8(low0, high0));
        store(block + 16, _mm_unpackhi_epi8(low0, high0));
        store(block + 32, _mm_unpacklo_epi8(low1, high1));
        store(block + 48, _mm_unpackhi_epi8(low1, high1));
    }
}

// Each of the four nibbles of 16 words indexes a 16-entry table of product bytes.
void gf16MultiplyAddSsse3(const Gf16FactorTables& tables, const std::uint8_t* src,
                          std::uint8_t* dst, std::size_t size) {
    const __m128i nibble = _mm_set1_epi8(0x0f);
    __m128i low[4];
    __m128i high[4];
    for (int k = 0; k < 4; ++k) {
        low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowBytes[k]));
        high[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highBytes[k]));
    }
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        // Two runs of 16 words; the high bytes of each lie 32 bytes after its low bytes.
        for (const std::size_t at : {i, i + 16}) {
            const __m128i lowBytes = load(src + at);
            const __m128i highBytes = load(src + at + 32);
            const __m128i n[4] = {_mm_and_si128(lowBytes, nibble),
                                  _mm_and_si128(_mm_srli_epi16(lowBytes, 4), nibble),
                                  _mm_and_si128(highBytes, nibble),
                                  _mm_and_si128(_mm_srli_epi16(highBytes, 4), nibble)};
            __m128i resultLow = _mm_setzero_si128();
            __m128i resultHigh = _mm_setzero_si128();
            for (int k = 0; k < 4; ++k) {
                resultLow = _mm_xor_si128(resultLow, _mm_shuffle_epi8(low[k], n[k]));
                resultHigh = _mm_xor_si128(resultHigh, _mm_shuffle_epi8(high[k], n[k]));
            }
            store(dst + at, _mm_xor_si128(load(dst + at), resultLow));
            store(dst + at + 32, _mm_xor_si128(load(dst + at + 32), resultHigh));
        }
    }
}

} // namespace velmora::par2
