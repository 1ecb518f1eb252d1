#include "GaloisField.h"

#include <array>

namespace velmora::par1 {
namespace {

constexpr unsigned kPolynomial = 0x11D;
constexpr unsigned kOrder = 255;

struct LogTables {
    std::array<std::uint8_t, 2 * kOrder> exp{};
    std::array<unsigned, 256> log{};
};

constexpr LogTables makeTables() {
    LogTables tables;
    unsigned value = 1;
    for (unsigned i = 0; i < kOrder; ++i) {
        tables.exp[i] = static_cast<std::uint8_t>(value);
        tables.exp[i + kOrder] = static_cast<std::uint8_t>(value);
        tables.log[value] = i;
        value <<= 1;
        if (value & 0x100)
            value ^= kPolynomial;
    }
    return tables;
}

constexpr LogTables kTables = makeTables();

} // namespace

std::uint8_t GaloisField::multiply(std::uint8_t a, std::uint8_t b) {
    if (a == 0 || b == 0)
        return 0;
    return kTables.exp[kTables.log[a] + kTables.log[b]];
}

std::uint8_t GaloisField::power(std::uint8_t base, std::uint64_t exponent) {
    if (exponent == 0)
        return 1;
    if (base == 0)
        return 0;
    return kTables.exp[(kTables.log[base] * (exponent % kOrder)) % kOrder];
}

std::uint8_t GaloisField::inverse(std::uint8_t a) {
    return kTables.exp[(kOrder - kTables.log[a]) % kOrder];
}

} // namespace velmora::par1
