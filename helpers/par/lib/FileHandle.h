#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace velmora::par1 {

// An open file descriptor with positioned reads and writes that report failures as IoError.
class FileHandle {
public:
    static FileHandle openForReading(const std::filesystem::path& path);
    // Creates a new file; fails when something of that name exists.
    static FileHandle createExclusive(const std::filesystem::path& path);

    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    const std::filesystem::path& path() const { return path_; }
    std::uint64_t size() const;
    // Fills as much of buffer as the file holds from offset on; returns the bytes read.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) const;
    // Reads the whole range or throws: the file must not be shorter.
    void readExactly(std::uint64_t offset, std::span<std::uint8_t> buffer) const;
    void close();

private:
    FileHandle(int descriptor, std::filesystem::path path);

    int descriptor_;
    std::filesystem::path path_;
};

} // namespace velmora::par1
