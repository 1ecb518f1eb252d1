#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace velmora::par2 {

// A file whose slices feed a combination. It is opened for each read and closed at once: a set of
// tens of thousands of files must not hold a descriptor per file, or it runs into the process's
// limit on open files long before the end.
class SourceFile {
public:
    // Measures the file; throws when it cannot be opened.
    explicit SourceFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    std::uint64_t size() const { return size_; }
    // Fills as much of buffer as the file holds from offset on; returns the bytes read.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;
    // Reads the whole range or throws: the file must not be shorter.
    void readExactly(std::uint64_t offset, std::span<std::uint8_t> buffer) const;

private:
    std::filesystem::path path_;
    std::uint64_t size_;
};

} // namespace velmora::par2
