#pragma once

#include "Par2Format.h"
#include "SliceIndex.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::par2 {

struct FoundSlice {
    std::uint32_t slice;
    std::uint64_t offset;
};

// What one file on disk holds of the set: its MD5 when its size made it a candidate for a whole
// protected file, and otherwise (or when the MD5 matched nothing) every slice found in it.
struct FileAnalysis {
    bool exists = false;
    std::uint64_t size = 0;
    std::optional<Md5Digest> hash;
    bool wholeMatch = false;
    std::vector<FoundSlice> slices;
};

class FileAnalyzer {
public:
    // wholeFile(size, md5): whether a file of that size and MD5 is a protected file whole, which
    // spares the block scan. hashWorthwhile(size): whether any protected file has that size.
    FileAnalyzer(const SliceIndex& index, std::function<bool(std::uint64_t)> hashWorthwhile,
                 std::function<bool(std::uint64_t, const Md5Digest&)> wholeFile);

    // Links are followed; anything but a regular file counts as missing.
    FileAnalysis analyze(const std::filesystem::path& path) const;

private:
    const SliceIndex& index_;
    std::function<bool(std::uint64_t)> hashWorthwhile_;
    std::function<bool(std::uint64_t, const Md5Digest&)> wholeFile_;
};

} // namespace velmora::par2
