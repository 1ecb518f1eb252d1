#include "RegionKernels.h"

#include <immintrin.h>

namespace velmora::par1 {
namespace {

inline __m256i multiply(__m256i in, __m256i low, __m256i high, __m256i mask) {
    const __m256i lowPart = _mm256_shuffle_epi8(low, _mm256_and_si256(in, mask));
    const __m256i highPart =
        _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi64(in, 4), mask));
    return _mm256_xor_si256(lowPart, highPart);
}

inline __m256i load(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

inline void store(std::uint8_t* p, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), value);
}

} // namespace

void multiplyAddAvx2(const FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                     std::size_t size) {
    const __m256i low = _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(tables.lowNibble)));
    const __m256i high = _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(tables.highNibble)));
    const __m256i mask = _mm256_set1_epi8(0x0F);
    std::size_t j = 0;
    for (; j + 64 <= size; j += 64) {
        const __m256i a = multiply(load(src + j), low, high, mask);
        const __m256i b = multiply(load(src + j + 32), low, high, mask);
        store(dst + j, _mm256_xor_si256(load(dst + j), a));
        store(dst + j + 32, _mm256_xor_si256(load(dst + j + 32), b));
    }
    for (; j + 32 <= size; j += 32)
        store(dst + j, _mm256_xor_si256(load(dst + j), multiply(load(src + j), low, high, mask)));
    multiplyAddScalar(tables, src + j, dst + j, size - j);
}

void xorAvx2(const std::uint8_t* src, std::uint8_t* dst, std::size_t size) {
    std::size_t j = 0;
    for (; j + 32 <= size; j += 32)
        store(dst + j, _mm256_xor_si256(load(dst + j), load(src + j)));
    xorScalar(src + j, dst + j, size - j);
}

} // namespace velmora::par1
