#include "RegionKernels.h"

#include <immintrin.h>

namespace velmora::par1 {

void multiplyAddSsse3(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                      std::size_t size) {
    const __m128i low = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowNibble));
    const __m128i high = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highNibble));
    const __m128i mask = _mm_set1_epi8(0x0F);
    std::size_t j = 0;
    for (; j + 16 <= size; j += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
        const __m128i lowPart = _mm_shuffle_epi8(low, _mm_and_si128(in, mask));
        const __m128i highPart = _mm_shuffle_epi8(high, _mm_and_si128(_mm_srli_epi64(in, 4), mask));
        __m128i* out = reinterpret_cast<__m128i*>(dst + j);
        _mm_storeu_si128(out,
                         _mm_xor_si128(_mm_loadu_si128(out), _mm_xor_si128(lowPart, highPart)));
    }
    multiplyAddScalar(tables, src + j, dst + j, size - j);
}

} // namespace velmora::par1
