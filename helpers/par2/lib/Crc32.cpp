#include "Crc32.h"

#include <zlib.h>

namespace velmora::par2 {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;

// Product of two polynomials modulo the CRC polynomial, both in reflected bit order.
std::uint32_t multiplyModulo(std::uint32_t a, std::uint32_t b) {
    std::uint32_t product = 0;
    for (std::uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
        if (a & bit)
            product ^= b;
        b = (b & 1) ? (b >> 1) ^ kReflectedPolynomial : b >> 1;
    }
    return product;
}

// x^(8 * bytes) modulo the CRC polynomial: shifting a checksum over that many bytes.
std::uint32_t shiftOperator(std::uint64_t bytes) {
    std::uint32_t result = 1u << 31;
    std::uint32_t square = 1u << 30;
    for (std::uint64_t exponent = bytes * 8; exponent != 0; exponent >>= 1) {
        if (exponent & 1)
            result = multiplyModulo(result, square);
        square = multiplyModulo(square, square);
    }
    return result;
}

} // namespace

const std::array<std::uint32_t, 256>& Crc32::table() {
    static const std::array<std::uint32_t, 256> entries = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? kReflectedPolynomial ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return entries;
}

std::uint32_t Crc32::of(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    while (size > 0) {
        const auto part = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc = static_cast<std::uint32_t>(::crc32(crc, data, part));
        data += part;
        size -= part;
    }
    return crc;
}

std::uint32_t Crc32::extendWithZeros(std::uint32_t crc, std::uint64_t size) {
    static const std::array<std::uint8_t, 4096> zeros{};
    while (size > 0) {
        const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(size, zeros.size()));
        crc = of(zeros.data(), part, crc);
        size -= part;
    }
    return crc;
}

// A byte leaving the window contributes its one-byte checksum shifted over the window length.
Crc32::Crc32(std::uint64_t windowSize) {
    const std::uint32_t shift = shiftOperator(windowSize);
    for (unsigned value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        leavingTerm_[value] = multiplyModulo(shift, of(&byte, 1));
    }
}

} // namespace velmora::par2
