#include "Par1Header.h"

#include "ByteOrder.h"
#include "Par1Error.h"

#include <algorithm>
#include <cstring>

namespace velmora::par1 {
namespace {

constexpr std::uint8_t kMagic[8] = {'P', 'A', 'R', 0, 0, 0, 0, 0};

void requireMalformed(bool condition, const char* message) {
    if (!condition)
        throw Par1FormatError(Par1FormatError::Kind::Malformed, message);
}

bool fitsInFile(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset >= kHeaderSize && offset <= fileSize && size <= fileSize - offset;
}

} // namespace

Par1Header Par1Header::parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
        readLittleEndian(bytes, 0x08, 4) != kFileVersion)
        throw Par1FormatError(Par1FormatError::Kind::NotPar, "not a PAR 1.0 file");
    Par1Header header;
    header.programId = static_cast<std::uint32_t>(readLittleEndian(bytes, 0x0C, 4));
    std::copy_n(bytes.begin() + 0x10, 16, header.controlHash.begin());
    std::copy_n(bytes.begin() + 0x20, 16, header.setHash.begin());
    header.volumeNumber = readLittleEndian(bytes, 0x30, 8);
    header.fileCount = readLittleEndian(bytes, 0x38, 8);
    header.fileListOffset = readLittleEndian(bytes, 0x40, 8);
    header.fileListSize = readLittleEndian(bytes, 0x48, 8);
    header.dataOffset = readLittleEndian(bytes, 0x50, 8);
    header.dataSize = readLittleEndian(bytes, 0x58, 8);

    requireMalformed(fitsInFile(header.fileListOffset, header.fileListSize, fileSize),
                     "the file list lies outside the file");
    requireMalformed(header.fileListSize <= kMaxFileListSize, "the file list is too large");
    requireMalformed(header.fileCount <= header.fileListSize / kEntryFixedSize,
                     "the file count does not fit in the file list");
    requireMalformed(header.dataSize == 0 ||
                         fitsInFile(header.dataOffset, header.dataSize, fileSize),
                     "the data part lies outside the file");
    return header;
}

std::array<std::uint8_t, kHeaderSize> Par1Header::serialize() const {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::copy(std::begin(kMagic), std::end(kMagic), bytes.begin());
    writeLittleEndian(bytes, 0x08, 4, kFileVersion);
    writeLittleEndian(bytes, 0x0C, 4, programId);
    std::copy(controlHash.begin(), controlHash.end(), bytes.begin() + 0x10);
    std::copy(setHash.begin(), setHash.end(), bytes.begin() + 0x20);
    writeLittleEndian(bytes, 0x30, 8, volumeNumber);
    writeLittleEndian(bytes, 0x38, 8, fileCount);
    writeLittleEndian(bytes, 0x40, 8, fileListOffset);
    writeLittleEndian(bytes, 0x48, 8, fileListSize);
    writeLittleEndian(bytes, 0x50, 8, dataOffset);
    writeLittleEndian(bytes, 0x58, 8, dataSize);
    return bytes;
}

} // namespace velmora::par1
