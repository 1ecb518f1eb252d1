#include "GaloisField.h"
#include "RecoveryPlan.h"
#include "RegionMultiplier.h"

#include <gtest/gtest.h>
#include <random>

namespace velmora::par1 {
namespace {

// Carry-less multiplication reduced by 0x11D, bit by bit.
std::uint8_t slowMultiply(unsigned a, unsigned b) {
    unsigned product = 0;
    for (; b != 0; b >>= 1, a <<= 1) {
        if (a & 0x100)
            a ^= 0x11D;
        if (b & 1)
            product ^= a;
    }
    if (product & 0x100)
        product ^= 0x11D;
    return static_cast<std::uint8_t>(product);
}

std::vector<std::uint8_t> randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(generator());
    return bytes;
}

TEST(GaloisField, MatchesBitwiseArithmeticForAllPairs) {
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b)
            ASSERT_EQ(GaloisField::multiply(a, b), slowMultiply(a, b)) << a << " * " << b;
        if (a != 0) {
            EXPECT_EQ(GaloisField::multiply(a, GaloisField::inverse(a)), 1);
        }
        std::uint8_t power = 1;
        for (unsigned e = 0; e < 300; ++e, power = slowMultiply(power, a))
            ASSERT_EQ(GaloisField::power(a, e), power) << a << " ^ " << e;
    }
}

TEST(RegionMultiplier, EveryKernelAgreesWithTheFieldAtAnyOffsetAndLength) {
    const std::vector<std::uint8_t> src = randomBytes(1000, 1);
    const std::vector<std::uint8_t> start = randomBytes(1000, 2);
    for (auto kernel : RegionMultiplier::availableKernels()) {
        const RegionMultiplier multiplier(kernel);
        for (unsigned factor : {0u, 1u, 2u, 0x53u, 0xFFu}) {
            for (std::size_t offset : {0u, 1u, 7u}) {
                for (std::size_t size : {0u, 1u, 15u, 31u, 33u, 64u, 127u, 900u}) {
                    std::vector<std::uint8_t> dst = start;
                    multiplier.multiplyAdd(factor, src.data() + offset, dst.data() + 3, size);
                    for (std::size_t j = 0; j < dst.size(); ++j) {
                        const bool inside = j >= 3 && j < 3 + size;
                        const std::uint8_t expected =
                            inside ? start[j] ^ slowMultiply(factor, src[offset + j - 3])
                                   : start[j];
                        ASSERT_EQ(dst[j], expected) << RegionMultiplier::kernelName(kernel)
                                                    << " factor " << factor << " size " << size;
                    }
                }
            }
        }
    }
}

TEST(RecoveryPlan, SkipsVolumesThatAddNoEquationAndFailsHonestly) {
    // Volume 256 repeats the equations of volume 1, since b^255 = 1 for every file.
    EXPECT_FALSE(RecoveryPlan::choose(4, {0, 1}, {1, 256}));
    const auto plan = RecoveryPlan::choose(4, {0, 1}, {1, 256, 2});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->volumes(), (std::vector<std::uint64_t>{1, 2}));
    EXPECT_FALSE(RecoveryPlan::choose(4, {0, 1, 2}, {1, 2}));
}

} // namespace
} // namespace velmora::par1
