#include "SliceCombiner.h"

#include "ParallelRunner.h"

#include <algorithm>
#include <barrier>
#include <cstring>
#include <thread>

namespace velmora::par2 {
namespace {

constexpr std::size_t kBatchInputs = 16;
// A piece small enough that one output piece and a batch of input pieces stay in cache.
constexpr std::size_t kCachePiece = 16 * 1024;

void readRange(const SliceSource& source, std::uint64_t begin, std::span<std::uint8_t> out) {
    std::fill(out.begin(), out.end(), 0);
    if (begin >= source.length)
        return;
    const auto present =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), source.length - begin));
    source.file->readExactly(source.offset + begin, out.first(present));
}

} // namespace

SliceCombiner::SliceCombiner(std::uint64_t sliceSize, std::uint64_t memoryBudget,
                             Gf16Multiplier multiplier)
    : sliceSize_(sliceSize), memoryBudget_(memoryBudget), multiplier_(multiplier) {}

std::size_t SliceCombiner::rangeSize(std::size_t outputCount) const {
    const std::uint64_t fit = memoryBudget_ / (outputCount + kBatchInputs);
    const std::uint64_t aligned = std::max<std::uint64_t>(fit / 64 * 64, 64);
    return static_cast<std::size_t>(std::min(sliceSize_, aligned));
}

void SliceCombiner::run(const std::vector<SliceSource>& inputs, std::size_t outputCount,
                        const Coefficient& coefficient, const Sink& sink,
                        const Progress& progress) const {
    if (outputCount == 0)
        return;
    constexpr std::size_t kBlock = Gf16Multiplier::kBlockSize;
    const std::size_t range = rangeSize(outputCount);
    const std::size_t padded = (range + kBlock - 1) / kBlock * kBlock;
    const std::uint64_t passes = (sliceSize_ + range - 1) / range;
    std::vector<std::vector<std::uint8_t>> outputs(outputCount, std::vector<std::uint8_t>(padded));
    std::vector<std::vector<std::uint8_t>> batch(
        std::min(kBatchInputs, std::max<std::size_t>(inputs.size(), 1)),
        std::vector<std::uint8_t>(padded));
    std::vector<Gf16Multiplier::Factor> factors(outputCount * batch.size());
    const unsigned threads = par1::ParallelRunner::threadCount();
    for (std::uint64_t pass = 0; pass < passes; ++pass) {
        const std::uint64_t begin = pass * range;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(range, sliceSize_ - begin));
        const std::size_t blocks = (length + kBlock - 1) / kBlock * kBlock;
        for (auto& output : outputs)
            std::fill(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(blocks), 0);
        for (std::size_t first = 0; first < inputs.size(); first += batch.size()) {
            const std::size_t count = std::min(batch.size(), inputs.size() - first);
            for (std::size_t k = 0; k < count; ++k)
                readRange(inputs[first + k], begin, {batch[k].data(), blocks});
            // Each thread prepares every so many outputs' factors, then takes its own stripe of
            // every input and output.
            const std::size_t stripe = (blocks / threads + kBlock - 1) / kBlock * kBlock;
            std::barrier prepared(threads);
            auto work = [&](unsigned t) {
                for (std::size_t r = t; r < outputCount; r += threads)
                    for (std::size_t k = 0; k < count; ++k)
                        factors[r * count + k] = Gf16Multiplier::prepare(coefficient(r, first + k));
                prepared.arrive_and_wait();
                const std::size_t stripeBegin = std::min(blocks, t * stripe);
                const std::size_t stripeEnd = std::min(blocks, stripeBegin + stripe);
                for (std::size_t k = 0; k < count; ++k)
                    multiplier_.toKernelOrder(batch[k].data() + stripeBegin,
                                              stripeEnd - stripeBegin);
                for (std::size_t piece = stripeBegin; piece < stripeEnd; piece += kCachePiece) {
                    const std::size_t pieceSize = std::min(kCachePiece, stripeEnd - piece);
                    for (std::size_t r = 0; r < outputCount; ++r)
                        for (std::size_t k = 0; k < count; ++k)
                            multiplier_.multiplyAdd(factors[r * count + k], batch[k].data() + piece,
                                                    outputs[r].data() + piece, pieceSize);
                }
            };
            {
                std::vector<std::jthread> helpers;
                for (unsigned t = 1; t < threads; ++t)
                    helpers.emplace_back(work, t);
                work(0);
            }
            progress((double(pass) * double(inputs.size()) + double(first + count)) /
                     (double(passes) * double(std::max<std::size_t>(inputs.size(), 1))));
        }
        for (std::size_t r = 0; r < outputCount; ++r) {
            multiplier_.toFileOrder(outputs[r].data(), blocks);
            sink(r, begin, {outputs[r].data(), length});
        }
    }
}

} // namespace velmora::par2
