#pragma once

#include "Par1FileEntry.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::par1 {

class Par1FileList {
public:
    // Reads count entries from the file list bytes; an entry whose size field is too small or
    // runs past the list, or whose name does not decode, throws Par1FormatError.
    static std::vector<Par1FileEntry> parse(std::span<const std::uint8_t> bytes,
                                            std::uint64_t count);
    static std::vector<std::uint8_t> serialize(const std::vector<Par1FileEntry>& entries);
    // Refuses names that are unsafe or listed twice, and more parity files than the field allows.
    static void validate(const std::vector<Par1FileEntry>& entries, bool caseSensitive);
    // MD5 of the full-file hashes of the files saved in the parity data, in list order.
    static Md5Digest setHash(const std::vector<Par1FileEntry>& entries);
};

} // namespace velmora::par1
