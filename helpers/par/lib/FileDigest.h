#pragma once

#include "FileHandle.h"
#include "Par1Constants.h"

#include <cstdint>

namespace velmora::par1 {

class FileDigest {
public:
    // MD5 of length bytes from offset on; throws IoError when the file is shorter.
    static Md5Digest ofRange(const FileHandle& file, std::uint64_t offset, std::uint64_t length);
    // MD5 of the whole file as it is now.
    static Md5Digest ofFile(const FileHandle& file);
};

} // namespace velmora::par1
