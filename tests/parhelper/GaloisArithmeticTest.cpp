#include "ChunkStreamer.h"
#include "GaloisField.h"
#include "LinearCombiner.h"
#include "Md5Hasher.h"
#include "ParToolRun.h"
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

// Parity blocks of files of different lengths, made the way a set's volumes are made.
struct EncodedSet {
    std::vector<std::vector<std::uint8_t>> blocks;  // zero-padded files
    std::vector<std::vector<std::uint8_t>> volumes; // volume v + 1 at index v
};

EncodedSet encode(std::size_t files, std::size_t volumes, std::size_t blockSize) {
    EncodedSet set;
    CoefficientMatrix coefficients(volumes, files);
    for (std::size_t i = 0; i < files; ++i) {
        set.blocks.push_back(randomBytes(blockSize, 100 + static_cast<std::uint32_t>(i)));
        for (std::size_t v = 0; v < volumes; ++v)
            coefficients.at(v, i) = GaloisField::power(static_cast<std::uint8_t>(i + 1), v);
    }
    set.volumes.assign(volumes, std::vector<std::uint8_t>(blockSize));
    std::vector<const std::uint8_t*> in;
    std::vector<std::uint8_t*> out;
    for (auto& block : set.blocks)
        in.push_back(block.data());
    for (auto& volume : set.volumes)
        out.push_back(volume.data());
    LinearCombiner(coefficients).combine(in, out, blockSize);
    return set;
}

std::vector<std::vector<std::uint8_t>> solve(const EncodedSet& set, const RecoveryPlan& plan) {
    std::vector<const std::uint8_t*> in;
    for (std::size_t file : plan.intactFiles())
        in.push_back(set.blocks[file].data());
    for (std::uint64_t volume : plan.volumes())
        in.push_back(set.volumes[volume - 1].data());
    const std::size_t size = set.blocks[0].size();
    std::vector<std::vector<std::uint8_t>> restored(plan.coefficients().rows(),
                                                    std::vector<std::uint8_t>(size));
    std::vector<std::uint8_t*> out;
    for (auto& r : restored)
        out.push_back(r.data());
    LinearCombiner(plan.coefficients()).combine(in, out, size);
    return restored;
}

TEST(RecoveryPlan, RestoresAnyThreeMissingFilesFromAnyThreeVolumes) {
    const EncodedSet set = encode(6, 5, 777);
    const std::vector<std::vector<std::size_t>> missingSets{{0}, {5}, {1, 4}, {0, 2, 5}, {3, 4, 5}};
    const std::vector<std::vector<std::uint64_t>> volumeSets{{1, 2, 3}, {3, 4, 5}, {5, 2, 1}};
    for (const auto& missing : missingSets) {
        for (const auto& volumes : volumeSets) {
            const auto plan = RecoveryPlan::choose(6, missing, volumes);
            ASSERT_TRUE(plan);
            EXPECT_EQ(plan->volumes().size(), missing.size());
            const auto restored = solve(set, *plan);
            for (std::size_t r = 0; r < missing.size(); ++r)
                EXPECT_EQ(restored[r], set.blocks[missing[r]]);
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

TEST(ChunkStreamer, PadsShortInputsHashesThemAndCrossesChunkBoundaries) {
    test::TempFolder folder;
    const std::vector<std::size_t> sizes{200'000, 70'000, 0, 131'072};
    std::vector<FileHandle> files;
    std::vector<std::string> contents;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = "f" + std::to_string(i);
        contents.push_back(folder.writeRandom(name, sizes[i], static_cast<std::uint32_t>(i)));
        files.push_back(FileHandle::openForReading(folder / name));
    }
    std::vector<Md5Hasher> full(sizes.size());
    std::vector<Md5Hasher> first(sizes.size());
    std::vector<StreamInput> inputs;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        inputs.push_back({&files[i], 0, sizes[i], &full[i], &first[i]});
    CoefficientMatrix xorAll(1, sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i)
        xorAll.at(0, i) = 1;
    std::vector<std::uint8_t> parity(200'000);
    std::vector<std::uint64_t> positions;
    const std::vector<StreamOutput> outputs{[&](std::uint64_t position,
                                                std::span<const std::uint8_t> data) {
        positions.push_back(position);
        std::copy(data.begin(), data.end(), parity.begin() + static_cast<std::ptrdiff_t>(position));
    }};
    std::uint64_t lastProgress = 0;
    ChunkStreamer(inputs, 200'000, 64 * 1024)
        .run(LinearCombiner(xorAll), outputs, [&](std::uint64_t done) { lastProgress = done; });

    EXPECT_EQ(positions, (std::vector<std::uint64_t>{0, 65536, 131072, 196608}));
    EXPECT_EQ(lastProgress, 200'000u + 70'000u + 131'072u);
    for (std::size_t j = 0; j < parity.size(); ++j) {
        std::uint8_t expected = 0;
        for (const std::string& content : contents)
            expected ^= j < content.size() ? static_cast<std::uint8_t>(content[j]) : 0;
        ASSERT_EQ(parity[j], expected) << j;
    }
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(contents[i].data()),
                                     contents[i].size());
        EXPECT_EQ(full[i].finish(), Md5Hasher::of(bytes));
        EXPECT_EQ(first[i].finish(),
                  Md5Hasher::of(bytes.first(std::min<std::size_t>(bytes.size(), 16384))));
    }
}

} // namespace
} // namespace velmora::par1
