#pragma once

#include "FileHandle.h"

#include <filesystem>
#include <optional>

namespace velmora::par1 {

// A file written under a hidden temporary name beside its final place and moved there only when
// it is complete. Dropped before commit, it leaves nothing behind.
class AtomicOutputFile {
public:
    explicit AtomicOutputFile(std::filesystem::path finalPath);
    AtomicOutputFile(AtomicOutputFile&& other) noexcept;
    AtomicOutputFile& operator=(AtomicOutputFile&&) = delete;
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;
    ~AtomicOutputFile();

    const FileHandle& file() const { return *file_; }
    const std::filesystem::path& finalPath() const { return finalPath_; }
    // Moves the file into place. Without replaceExisting an existing file of the final name
    // stays untouched and IoError is thrown.
    void commit(bool replaceExisting);

private:
    std::filesystem::path finalPath_;
    std::filesystem::path temporaryPath_;
    std::optional<FileHandle> file_;
    bool committed_ = false;
    bool registered_ = false;
};

} // namespace velmora::par1
