// The arithmetic under every repair: the shuffle kernels against the scalar reference and the
// field's own multiplication, the inverse, the rolling CRC against a direct one, and a solve
// that rebuilds lost slices from recovery slices made the way volumes are made.

#include "Crc32.h"
#include "Gf16.h"
#include "Gf16Multiplier.h"
#include "RecoveryMatrix.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace velmora::par2;

namespace {

std::vector<std::uint8_t> randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

std::uint16_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t i) {
    return static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

} // namespace

TEST(Gf16Kernels, EveryKernelMultipliesEachWordAsTheField) {
    for (const Gf16Multiplier::Kernel kernel : Gf16Multiplier::availableKernels()) {
        const Gf16Multiplier multiplier(kernel);
        unsigned seed = 1;
        for (const std::size_t size : {64u, 128u, 4096u}) {
            for (const std::uint16_t factor : {0u, 1u, 2u, 0x8000u, 0x1234u, 0xffffu}) {
                auto src = randomBytes(size, seed++);
                const auto original = src;
                const auto before = randomBytes(size, seed++);
                auto dst = before;
                multiplier.toKernelOrder(src.data(), size);
                multiplier.toKernelOrder(dst.data(), size);
                multiplier.multiplyAdd(Gf16Multiplier::prepare(factor), src.data(), dst.data(),
                                       size);
                multiplier.toFileOrder(dst.data(), size);
                for (std::size_t i = 0; i < size / 2; ++i)
                    ASSERT_EQ(wordAt(dst, i),
                              wordAt(before, i) ^ Gf16::multiply(factor, wordAt(original, i)))
                        << Gf16Multiplier::kernelName(kernel) << " size " << size << " factor "
                        << factor << " word " << i;
            }
        }
    }
}

TEST(Gf16Kernels, FieldHasInversesAndTheFirstConstants) {
    for (unsigned a = 1; a < 65536; a += 97)
        EXPECT_EQ(Gf16::multiply(static_cast<std::uint16_t>(a),
                                 Gf16::inverse(static_cast<std::uint16_t>(a))),
                  1);
    EXPECT_EQ(Gf16::inputConstant(0), 2);
    EXPECT_EQ(Gf16::inputConstant(1), 4);
    EXPECT_EQ(Gf16::inputConstant(2), 16);
    EXPECT_EQ(Gf16::inputConstant(3), 128);
    EXPECT_EQ(Gf16::inputConstant(4), 256);
}

TEST(Gf16Kernels, RollingCrcFollowsTheDirectCrcAtEveryPosition) {
    const auto bytes = randomBytes(3000, 7);
    for (const std::size_t window : {4u, 100u, 1024u}) {
        const Crc32 rolling(window);
        std::uint32_t crc = Crc32::of(bytes.data(), window);
        for (std::size_t p = 0; p + window < bytes.size(); ++p) {
            crc = rolling.slide(crc, bytes[p], bytes[p + window]);
            ASSERT_EQ(crc, Crc32::of(bytes.data() + p + 1, window)) << window << " at " << p;
        }
    }
    std::vector<std::uint8_t> padded(bytes.begin(), bytes.begin() + 10);
    padded.resize(16, 0);
    EXPECT_EQ(Crc32::extendWithZeros(Crc32::of(bytes.data(), 10), 6), Crc32::of(padded.data(), 16));
}

TEST(Gf16Kernels, SolveRebuildsLostSlicesFromRecoverySlices) {
    // Five one-word inputs, three recovery words with exponents 0, 1, 2; inputs 1 and 3 lost.
    const std::vector<std::uint16_t> inputs{0x1111, 0xbeef, 0x0001, 0xfffe, 0x4242};
    std::vector<std::uint16_t> recovery(3, 0);
    for (std::uint32_t e = 0; e < 3; ++e)
        for (std::uint32_t i = 0; i < inputs.size(); ++i)
            recovery[e] ^= Gf16::multiply(Gf16::power(Gf16::inputConstant(i), e), inputs[i]);
    const std::vector<std::uint32_t> missing{1, 3}, present{0, 2, 4}, exponents{1, 2};
    const auto matrix = RecoveryMatrix::solve(missing, present, exponents);
    ASSERT_TRUE(matrix.has_value());
    for (std::size_t j = 0; j < missing.size(); ++j) {
        std::uint16_t value = 0;
        for (std::size_t k = 0; k < present.size(); ++k)
            value ^= Gf16::multiply(matrix->at(j, k), inputs[present[k]]);
        for (std::size_t r = 0; r < exponents.size(); ++r)
            value ^= Gf16::multiply(matrix->at(j, present.size() + r), recovery[exponents[r]]);
        EXPECT_EQ(value, inputs[missing[j]]);
    }
}
