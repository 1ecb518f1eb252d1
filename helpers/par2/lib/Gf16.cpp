#include "Gf16.h"

#include <array>
#include <vector>

namespace velmora::par2 {
namespace {

constexpr std::uint32_t kPolynomial = 0x1100B;
constexpr std::uint32_t kOrder = 65535;

struct Tables {
    std::array<std::uint16_t, 65536> exp{};
    std::array<std::uint16_t, 65536> log{};
    std::vector<std::uint16_t> constants;

    Tables() {
        std::uint32_t value = 1;
        for (std::uint32_t i = 0; i < kOrder; ++i) {
            exp[i] = static_cast<std::uint16_t>(value);
            log[value] = static_cast<std::uint16_t>(i);
            value <<= 1;
            if (value & 0x10000)
                value ^= kPolynomial;
        }
        exp[kOrder] = exp[0];
        for (std::uint32_t n = 1; constants.size() < 32768; ++n) {
            if (n % 3 != 0 && n % 5 != 0 && n % 17 != 0 && n % 257 != 0)
                constants.push_back(exp[n]);
        }
    }
};

const Tables& tables() {
    static const Tables instance;
    return instance;
}

} // namespace

std::uint16_t Gf16::multiply(std::uint16_t a, std::uint16_t b) {
    if (a == 0 || b == 0)
        return 0;
    const Tables& t = tables();
    const std::uint32_t sum = std::uint32_t(t.log[a]) + t.log[b];
    return t.exp[sum >= kOrder ? sum - kOrder : sum];
}

std::uint16_t Gf16::power(std::uint16_t base, std::uint32_t exponent) {
    if (exponent == 0)
        return 1;
    if (base == 0)
        return 0;
    const Tables& t = tables();
    return t.exp[(std::uint64_t(t.log[base]) * exponent) % kOrder];
}

std::uint16_t Gf16::inverse(std::uint16_t a) {
    const Tables& t = tables();
    return t.exp[(kOrder - t.log[a]) % kOrder];
}

std::uint16_t Gf16::inputConstant(std::uint32_t index) {
    return tables().constants.at(index);
}

} // namespace velmora::par2
