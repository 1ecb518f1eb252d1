#pragma once

#include "FileHandle.h"
#include "SliceIndex.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::par2 {

// Finds the set's slices anywhere in a file: a CRC-32 over a window of one slice slides byte by
// byte, and a window whose CRC belongs to a slice is confirmed by its MD5. After a match the
// search goes on right behind it, so an undamaged run costs one checksum per slice. Past the
// end of the file the window reads zeros, which is how a file's short last slice is padded.
class BlockScanner {
public:
    // found(slices, offset): the window at offset holds these slices (several when they are
    // equal, such as slices of zeros).
    using Found = std::function<void(const std::vector<std::uint32_t>&, std::uint64_t)>;

    static void scan(const par1::FileHandle& file, const SliceIndex& index, const Found& found);
};

} // namespace velmora::par2
