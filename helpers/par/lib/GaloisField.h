#pragma once

#include <cstdint>

namespace velmora::par1 {

// GF(2^8) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D); 2 generates the field.
class GaloisField {
public:
    static std::uint8_t multiply(std::uint8_t a, std::uint8_t b);
    static std::uint8_t power(std::uint8_t base, std::uint64_t exponent);
    // a must not be 0.
    static std::uint8_t inverse(std::uint8_t a);
};

} // namespace velmora::par1
