#include "Par1VolumeFile.h"

#include "FileDigest.h"
#include "Par1Error.h"
#include "Par1FileList.h"

#include <utility>

namespace velmora::par1 {
namespace {

constexpr std::uint64_t kSetHashOffset = 0x20;

} // namespace

Par1VolumeFile::Par1VolumeFile(FileHandle file, Par1Header header,
                               std::vector<Par1FileEntry> entries)
    : file_(std::move(file)), header_(header), entries_(std::move(entries)) {}

Par1VolumeFile Par1VolumeFile::open(const std::filesystem::path& path) {
    FileHandle file = FileHandle::openForReading(path);
    const std::uint64_t fileSize = file.size();
    std::array<std::uint8_t, kHeaderSize> headerBytes{};
    const std::size_t got = file.readAt(0, headerBytes);
    const Par1Header header = Par1Header::parse(std::span(headerBytes.data(), got), fileSize);
    std::vector<std::uint8_t> list(static_cast<std::size_t>(header.fileListSize));
    file.readExactly(header.fileListOffset, list);
    std::vector<Par1FileEntry> entries = Par1FileList::parse(list, header.fileCount);
    return Par1VolumeFile(std::move(file), header, std::move(entries));
}

void Par1VolumeFile::parse(std::span<const std::uint8_t> file, Par1Header& header,
                           std::vector<Par1FileEntry>& entries) {
    header = Par1Header::parse(file, file.size());
    entries = Par1FileList::parse(file.subspan(static_cast<std::size_t>(header.fileListOffset),
                                               static_cast<std::size_t>(header.fileListSize)),
                                  header.fileCount);
}

bool Par1VolumeFile::controlHashMatches() const {
    return controlHashOf(file_) == header_.controlHash;
}

Md5Digest Par1VolumeFile::controlHashOf(const FileHandle& file) {
    const std::uint64_t size = file.size();
    if (size < kHeaderSize)
        throw Par1FormatError(Par1FormatError::Kind::NotPar, "not a PAR 1.0 file");
    return FileDigest::ofRange(file, kSetHashOffset, size - kSetHashOffset);
}

} // namespace velmora::par1
