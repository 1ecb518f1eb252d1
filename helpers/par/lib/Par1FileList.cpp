#include "Par1FileList.h"

#include "ByteOrder.h"
#include "FileNameRules.h"
#include "Md5Hasher.h"
#include "NameCodec.h"
#include "Par1Error.h"

#include <algorithm>

namespace velmora::par1 {
namespace {

[[noreturn]] void malformed(const std::string& message) {
    throw Par1FormatError(Par1FormatError::Kind::Malformed, message);
}

Par1FileEntry parseEntry(std::span<const std::uint8_t> entry) {
    Par1FileEntry parsed;
    parsed.status = readLittleEndian(entry, 0x08, 8);
    parsed.size = readLittleEndian(entry, 0x10, 8);
    std::copy_n(entry.begin() + 0x18, 16, parsed.fullHash.begin());
    std::copy_n(entry.begin() + 0x28, 16, parsed.hash16k.begin());
    try {
        parsed.name = NameCodec::fromUtf16le(entry.subspan(kEntryFixedSize));
    } catch (const NameCodecError& error) {
        malformed(std::string("a file name in the file list is unreadable: ") + error.what());
    }
    return parsed;
}

} // namespace

std::vector<Par1FileEntry> Par1FileList::parse(std::span<const std::uint8_t> bytes,
                                               std::uint64_t count) {
    if (count > bytes.size() / kEntryFixedSize)
        malformed("the file count does not fit in the file list");
    std::vector<Par1FileEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    std::size_t position = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t remaining = bytes.size() - position;
        if (remaining < kEntryFixedSize)
            malformed("the file list ends inside an entry");
        const std::uint64_t entrySize = readLittleEndian(bytes, position, 8);
        if (entrySize < kEntryFixedSize)
            malformed("a file list entry is smaller than its fixed fields");
        if (entrySize > remaining)
            malformed("a file list entry runs past the end of the list");
        entries.push_back(parseEntry(bytes.subspan(position, static_cast<std::size_t>(entrySize))));
        position += static_cast<std::size_t>(entrySize);
    }
    return entries;
}

std::vector<std::uint8_t> Par1FileList::serialize(const std::vector<Par1FileEntry>& entries) {
    std::vector<std::uint8_t> bytes;
    for (const Par1FileEntry& entry : entries) {
        const std::vector<std::uint8_t> name = NameCodec::toUtf16le(entry.name);
        const std::size_t start = bytes.size();
        bytes.resize(start + kEntryFixedSize + name.size());
        const std::span<std::uint8_t> out(bytes.data() + start, kEntryFixedSize + name.size());
        writeLittleEndian(out, 0x00, 8, out.size());
        writeLittleEndian(out, 0x08, 8, entry.status);
        writeLittleEndian(out, 0x10, 8, entry.size);
        std::copy(entry.fullHash.begin(), entry.fullHash.end(), out.begin() + 0x18);
        std::copy(entry.hash16k.begin(), entry.hash16k.end(), out.begin() + 0x28);
        std::copy(name.begin(), name.end(), out.begin() + kEntryFixedSize);
    }
    return bytes;
}

void Par1FileList::validate(const std::vector<Par1FileEntry>& entries, bool caseSensitive) {
    std::vector<std::string> names;
    for (const Par1FileEntry& entry : entries) {
        if (const auto problem = FileNameRules::problem(entry.name))
            malformed("unusable file name \"" + FileNameRules::forMessage(entry.name) +
                      "\" in the file list: " + *problem);
        names.push_back(entry.name);
    }
    if (const auto twice = FileNameRules::duplicate(names, caseSensitive))
        malformed("the file list names \"" + FileNameRules::forMessage(*twice) + "\" twice");
    const auto parityFiles =
        std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.inParity(); });
    if (static_cast<std::size_t>(parityFiles) > kMaxParityFiles)
        malformed("the file list holds more than 255 files in the parity data");
}

Md5Digest Par1FileList::setHash(const std::vector<Par1FileEntry>& entries) {
    Md5Hasher hasher;
    for (const Par1FileEntry& entry : entries) {
        if (entry.inParity())
            hasher.update(entry.fullHash.data(), entry.fullHash.size());
    }
    return hasher.finish();
}

} // namespace velmora::par1
