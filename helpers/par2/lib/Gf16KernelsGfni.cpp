#include "Gf16Kernels.h"

#include <immintrin.h>

namespace velmora::par2 {

// Multiplying by a constant is linear over GF(2): each result byte is the sum of two 8x8 bit
// matrices applied to the source's low and high bytes, one affine instruction each.
void gf16MultiplyAddGfni(const Gf16FactorTables& tables, const std::uint8_t* src, std::uint8_t* dst,
                         std::size_t size) {
    const __m256i lowFromLow = _mm256_set1_epi64x(static_cast<long long>(tables.affine[0]));
    const __m256i lowFromHigh = _mm256_set1_epi64x(static_cast<long long>(tables.affine[1]));
    const __m256i highFromLow = _mm256_set1_epi64x(static_cast<long long>(tables.affine[2]));
    const __m256i highFromHigh = _mm256_set1_epi64x(static_cast<long long>(tables.affine[3]));
    for (std::size_t i = 0; i < size; i += kGf16BlockSize) {
        const __m256i lowBytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i highBytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32));
        const __m256i resultLow =
            _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(lowBytes, lowFromLow, 0),
                             _mm256_gf2p8affine_epi64_epi8(highBytes, lowFromHigh, 0));
        const __m256i resultHigh =
            _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(lowBytes, highFromLow, 0),
                             _mm256_gf2p8affine_epi64_epi8(highBytes, highFromHigh, 0));
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out), resultLow));
        _mm256_storeu_si256(out + 1, _mm256_xor_si256(_mm256_loadu_si256(out + 1), resultHigh));
    }
}

} // namespace velmora::par2
