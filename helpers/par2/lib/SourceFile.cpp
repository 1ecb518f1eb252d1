#include "SourceFile.h"

#include "FileHandle.h"

namespace velmora::par2 {

SourceFile::SourceFile(std::filesystem::path path)
    : path_(std::move(path)), size_(par1::FileHandle::openForReading(path_).size()) {}

std::size_t SourceFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    return par1::FileHandle::openForReading(path_).readAt(offset, buffer);
}

void SourceFile::readExactly(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    par1::FileHandle::openForReading(path_).readExactly(offset, buffer);
}

} // namespace velmora::par2
