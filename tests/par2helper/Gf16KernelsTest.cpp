// What the side-by-side runs with par2cmdline cannot reach: every shuffle kernel, not only the
// one this machine picks, against the field's own multiplication, and the rolling CRC against a
// direct one at every position.

#include "Crc32.h"
#include "Gf16.h"
#include "Gf16Multiplier.h"

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
