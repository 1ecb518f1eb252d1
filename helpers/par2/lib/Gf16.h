#pragma once

#include <cstdint>

namespace velmora::par2 {

// GF(2^16) with the field polynomial x^16 + x^12 + x^3 + x + 1 (0x1100B); 2 generates the field.
class Gf16 {
public:
    static std::uint16_t multiply(std::uint16_t a, std::uint16_t b);
    static std::uint16_t power(std::uint16_t base, std::uint32_t exponent);
    // a must not be 0.
    static std::uint16_t inverse(std::uint16_t a);
    // The constant of the input slice with this index (0 to 32767): the index-th power of 2 whose
    // exponent shares no factor with 65535, so that every constant generates the whole field.
    static std::uint16_t inputConstant(std::uint32_t index);
};

} // namespace velmora::par2
