#pragma once

#include "FileHandle.h"
#include "LinearCombiner.h"
#include "Md5Hasher.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace velmora::par1 {

// One input of a block computation: length bytes of file from offset on, read as a block of the
// full block size with zero bytes after them. The hashers, when given, see the bytes as read.
struct StreamInput {
    const FileHandle* file = nullptr;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    Md5Hasher* fullHash = nullptr;
    Md5Hasher* hash16k = nullptr;
};

// Receives the next piece of one output block.
using StreamOutput = std::function<void(std::uint64_t position, std::span<const std::uint8_t>)>;

// Runs a linear combination over blocks far larger than memory: the block is cut into chunks
// that are read from every input front to back, so memory stays bounded whatever the block
// size. Two reading threads (each with its own share of the inputs) run up to a few chunks
// ahead of the combining, so that neither waits for the other on every chunk.
class ChunkStreamer {
public:
    static constexpr std::size_t kDefaultMemoryBudget = 192 * 1024 * 1024;

    // memoryBudget bounds the buffers: three chunks per input (read ahead of the combining)
    // and one per output.
    ChunkStreamer(std::vector<StreamInput> inputs, std::uint64_t blockSize,
                  std::size_t memoryBudget = kDefaultMemoryBudget);

    // progress receives the number of input bytes read so far.
    void run(const LinearCombiner& combiner, const std::vector<StreamOutput>& outputs,
             const std::function<void(std::uint64_t)>& progress);

private:
    using Buffers = std::vector<std::vector<std::uint8_t>>;

    std::size_t chunkSize(std::size_t outputCount) const;
    void readInput(StreamInput& input, std::uint64_t position, std::span<std::uint8_t> buffer);

    std::vector<StreamInput> inputs_;
    std::uint64_t blockSize_;
    std::size_t memoryBudget_;
};

} // namespace velmora::par1
