#include "FileDigest.h"

#include "Md5Hasher.h"

#include <algorithm>
#include <vector>

namespace velmora::par1 {
namespace {

constexpr std::size_t kBufferSize = 1024 * 1024;

} // namespace

Md5Digest FileDigest::ofRange(const FileHandle& file, std::uint64_t offset, std::uint64_t length) {
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, length)));
    Md5Hasher hasher;
    for (std::uint64_t done = 0; done < length;) {
        const auto size =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        const std::span<std::uint8_t> chunk(buffer.data(), size);
        file.readExactly(offset + done, chunk);
        hasher.update(chunk.data(), chunk.size());
        done += size;
    }
    return hasher.finish();
}

Md5Digest FileDigest::ofFile(const FileHandle& file) {
    return ofRange(file, 0, file.size());
}

} // namespace velmora::par1
