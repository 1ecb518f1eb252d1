#include "ChunkStreamer.h"

#include "Par1Constants.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace velmora::par1 {
namespace {

constexpr std::size_t kMinChunk = 64 * 1024;
constexpr std::size_t kMaxChunk = 1024 * 1024;
constexpr std::size_t kChunkAlignment = 4096;
// Chunks in flight: the readers may run this many rounds ahead of the combining.
constexpr std::size_t kSlots = 3;
// Reading is mostly hashing, so the inputs are shared out among this many reading threads.
constexpr std::size_t kReaders = 2;

} // namespace

ChunkStreamer::ChunkStreamer(std::vector<StreamInput> inputs, std::uint64_t blockSize,
                             std::size_t memoryBudget)
    : inputs_(std::move(inputs)), blockSize_(blockSize), memoryBudget_(memoryBudget) {}

std::size_t ChunkStreamer::chunkSize(std::size_t outputCount) const {
    const std::size_t buffers = std::max<std::size_t>(1, kSlots * inputs_.size() + outputCount);
    std::size_t size = std::clamp(memoryBudget_ / buffers, kMinChunk, kMaxChunk);
    size -= size % kChunkAlignment;
    const std::uint64_t wholeBlock =
        (blockSize_ + kChunkAlignment - 1) / kChunkAlignment * kChunkAlignment;
    return static_cast<std::size_t>(std::min<std::uint64_t>(size, wholeBlock));
}

void ChunkStreamer::run(const LinearCombiner& combiner, const std::vector<StreamOutput>& outputs,
                        const std::function<void(std::uint64_t)>& progress) {
    const std::size_t chunk = chunkSize(outputs.size());
    if (chunk == 0)
        return;
    const std::uint64_t rounds = (blockSize_ + chunk - 1) / chunk;
    std::vector<Buffers> slots(kSlots, Buffers(inputs_.size(), std::vector<std::uint8_t>(chunk)));
    std::vector<std::vector<std::uint8_t>> results(outputs.size(),
                                                   std::vector<std::uint8_t>(chunk));
    std::vector<std::uint8_t*> resultPointers;
    for (auto& result : results)
        resultPointers.push_back(result.data());
    auto sizeAt = [&](std::uint64_t round) {
        return static_cast<std::size_t>(std::min<std::uint64_t>(chunk, blockSize_ - round * chunk));
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::uint64_t> roundsRead(kReaders, 0);
    std::uint64_t roundsCombined = 0;
    bool stopping = false;
    std::exception_ptr readError;
    auto reader = [&](std::size_t group) {
        const std::size_t first = group * inputs_.size() / kReaders;
        const std::size_t last = (group + 1) * inputs_.size() / kReaders;
        try {
            for (std::uint64_t round = 0; round < rounds; ++round) {
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stopping || round < roundsCombined + kSlots; });
                    if (stopping)
                        return;
                }
                Buffers& slot = slots[round % kSlots];
                for (std::size_t i = first; i < last; ++i)
                    readInput(inputs_[i], round * chunk, std::span(slot[i].data(), sizeAt(round)));
                std::lock_guard lock(mutex);
                roundsRead[group] = round + 1;
                changed.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            readError = std::current_exception();
            stopping = true;
            changed.notify_all();
        }
    };
    auto stop = [&] {
        std::lock_guard lock(mutex);
        stopping = true;
        changed.notify_all();
    };
    // Declared after everything they use, so that they are joined before it goes away.
    std::vector<std::jthread> readers;
    for (std::size_t group = 0; group < kReaders; ++group)
        readers.emplace_back(reader, group);

    try {
        std::uint64_t bytesRead = 0;
        for (std::uint64_t round = 0; round < rounds; ++round) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] {
                    return stopping ||
                           std::all_of(roundsRead.begin(), roundsRead.end(),
                                       [&](std::uint64_t done) { return done > round; });
                });
                if (stopping)
                    std::rethrow_exception(readError);
            }
            const std::uint64_t position = round * chunk;
            const std::size_t size = sizeAt(round);
            std::vector<const std::uint8_t*> inputPointers;
            for (const auto& buffer : slots[round % kSlots])
                inputPointers.push_back(buffer.data());
            combiner.combine(inputPointers, resultPointers, size);
            for (std::size_t r = 0; r < outputs.size(); ++r)
                outputs[r](position, std::span<const std::uint8_t>(results[r].data(), size));
            {
                std::lock_guard lock(mutex);
                roundsCombined = round + 1;
                changed.notify_all();
            }
            for (const StreamInput& input : inputs_)
                bytesRead +=
                    std::min<std::uint64_t>(size, input.length - std::min(input.length, position));
            progress(bytesRead);
        }
    } catch (...) {
        stop();
        throw;
    }
}

void ChunkStreamer::readInput(StreamInput& input, std::uint64_t position,
                              std::span<std::uint8_t> buffer) {
    const auto available = static_cast<std::size_t>(
        std::min<std::uint64_t>(buffer.size(), input.length - std::min(input.length, position)));
    input.file->readExactly(input.offset + position, buffer.first(available));
    std::memset(buffer.data() + available, 0, buffer.size() - available);
    if (input.fullHash != nullptr)
        input.fullHash->update(buffer.data(), available);
    if (input.hash16k != nullptr && position < kHash16kSize)
        input.hash16k->update(buffer.data(),
                              std::min<std::size_t>(available, kHash16kSize - position));
}

} // namespace velmora::par1
