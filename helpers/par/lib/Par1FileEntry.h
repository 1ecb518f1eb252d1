#pragma once

#include "Par1Constants.h"

#include <cstdint>
#include <string>

namespace velmora::par1 {

// One file of the file list; the name is held in UTF-8.
struct Par1FileEntry {
    std::uint64_t status = kStatusInParity | kStatusChecked;
    std::uint64_t size = 0;
    Md5Digest fullHash{};
    Md5Digest hash16k{};
    std::string name;

    bool inParity() const { return (status & kStatusInParity) != 0; }
};

} // namespace velmora::par1
