#pragma once

#include "Par1Constants.h"

#include <array>
#include <cstdint>
#include <span>

namespace velmora::par1 {

// The fixed 96-byte start of every file of a set.
struct Par1Header {
    std::uint32_t programId = kProgramId;
    Md5Digest controlHash{};
    Md5Digest setHash{};
    std::uint64_t volumeNumber = 0;
    std::uint64_t fileCount = 0;
    std::uint64_t fileListOffset = kHeaderSize;
    std::uint64_t fileListSize = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataSize = 0;

    // bytes holds at least the first kHeaderSize bytes of a file of fileSize bytes. Throws
    // Par1FormatError when the file is not PAR 1.0 or its parts lie outside the file.
    static Par1Header parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize);
    std::array<std::uint8_t, kHeaderSize> serialize() const;
};

} // namespace velmora::par1
