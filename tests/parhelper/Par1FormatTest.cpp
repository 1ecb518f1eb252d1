#include "ByteOrder.h"
#include "NameCodec.h"
#include "Par1Error.h"
#include "Par1FileList.h"
#include "Par1Header.h"
#include "Par1VolumeFile.h"

#include <gtest/gtest.h>

namespace velmora::par1 {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(NameCodec, ConvertsExactlyIncludingCharactersOutsideTheBasicPlane) {
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases{
        {"a b.txt", {'a', 0, ' ', 0, 'b', 0, '.', 0, 't', 0, 'x', 0, 't', 0}},
        {"caf\xC3\xA9", {'c', 0, 'a', 0, 'f', 0, 0xE9, 0}},
        {"\xE6\x97\xA5", {0xE5, 0x65}},
        {"\xF0\x9D\x84\x9E", {0x34, 0xD8, 0x1E, 0xDD}}, // U+1D11E
        {"\xF4\x8F\xBF\xBF", {0xFF, 0xDB, 0xFF, 0xDF}}, // U+10FFFF
    };
    for (const auto& [utf8, utf16] : cases) {
        EXPECT_EQ(NameCodec::toUtf16le(utf8), utf16) << utf8;
        EXPECT_EQ(NameCodec::fromUtf16le(utf16), utf8);
    }
}

TEST(NameCodec, RefusesWhatDoesNotDecode) {
    for (std::string bad : {"\xC3", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "caf\xE9"})
        EXPECT_THROW(NameCodec::toUtf16le(bad), NameCodecError) << bad;
    const std::vector<std::vector<std::uint8_t>> badUtf16{
        {0x41}, {0x00, 0xD8}, {0x00, 0xDC, 0x41, 0x00}, {0x00, 0xD8, 0x41, 0x00}};
    for (const auto& bad : badUtf16)
        EXPECT_THROW(NameCodec::fromUtf16le(bad), NameCodecError);
    EXPECT_EQ(NameCodec::printable("caf\xE9"), "caf\xC3\xA9");
}

// A whole set file in memory: header, file list, then data.
std::vector<std::uint8_t> makeFile(const std::vector<Par1FileEntry>& entries,
                                   std::size_t dataSize) {
    const std::vector<std::uint8_t> list = Par1FileList::serialize(entries);
    Par1Header header;
    header.volumeNumber = dataSize == 0 ? 0 : 1;
    header.fileCount = entries.size();
    header.fileListSize = list.size();
    header.dataOffset = dataSize == 0 ? 0 : kHeaderSize + list.size();
    header.dataSize = dataSize;
    const auto head = header.serialize();
    std::vector<std::uint8_t> file(kHeaderSize + list.size() + dataSize, 0xAB);
    std::copy(head.begin(), head.end(), file.begin());
    std::copy(list.begin(), list.end(), file.begin() + kHeaderSize);
    return file;
}

std::vector<Par1FileEntry> twoEntries() {
    Par1FileEntry first;
    first.name = "one.bin";
    first.size = 12345;
    first.fullHash.fill(0x11);
    first.hash16k.fill(0x22);
    Par1FileEntry second;
    second.name = "two \xC3\xA9.txt";
    second.status = kStatusChecked;
    return {first, second};
}

void expectMalformed(const std::vector<std::uint8_t>& file) {
    Par1Header header;
    std::vector<Par1FileEntry> entries;
    try {
        Par1VolumeFile::parse(file, header, entries);
        ADD_FAILURE() << "accepted";
    } catch (const Par1FormatError& error) {
        EXPECT_EQ(error.kind(), Par1FormatError::Kind::Malformed) << error.what();
    }
}

TEST(Par1FileList, RefusesEntriesAndPartsOutsideTheirBounds) {
    const std::vector<std::uint8_t> good = makeFile(twoEntries(), 10);
    auto patched = [&](std::size_t offset, std::size_t size, std::uint64_t value) {
        std::vector<std::uint8_t> file = good;
        writeLittleEndian(file, offset, size, value);
        return file;
    };
    const std::size_t firstEntry = kHeaderSize;
    const std::size_t listSize = readLittleEndian(good, 0x48, 8);
    expectMalformed(patched(firstEntry, 8, kEntryFixedSize - 1));  // entry too small
    expectMalformed(patched(firstEntry, 8, 0));                    // would never advance
    expectMalformed(patched(firstEntry, 8, listSize + 2));         // runs past the list
    expectMalformed(patched(firstEntry, 8, kEntryFixedSize + 15)); // odd UTF-16 length
    expectMalformed(patched(0x38, 8, 1ull << 60));                 // huge file count
    expectMalformed(patched(0x48, 8, 1ull << 62));                 // huge list size
    expectMalformed(patched(0x40, 8, ~0ull - 8));                  // list offset wraps around
    expectMalformed(patched(0x40, 8, 0x10));                       // list inside the header
    expectMalformed(patched(0x58, 8, 11));                         // data past the end
    expectMalformed(std::vector<std::uint8_t>(good.begin(), good.end() - 11));

    Par1Header header;
    std::vector<Par1FileEntry> entries;
    for (const auto& notPar :
         {bytesOf("PAR2\0PKT"), std::vector<std::uint8_t>(good.begin(), good.begin() + 40),
          patched(0x08, 4, 0x00020000)}) {
        try {
            Par1VolumeFile::parse(notPar, header, entries);
            ADD_FAILURE() << "accepted";
        } catch (const Par1FormatError& error) {
            EXPECT_EQ(error.kind(), Par1FormatError::Kind::NotPar);
        }
    }
}

TEST(Par1FileList, ValidationRefusesUnsafeAndRepeatedNames) {
    auto withNames = [](std::vector<std::string> names) {
        std::vector<Par1FileEntry> entries;
        for (auto& name : names) {
            entries.emplace_back();
            entries.back().name = name;
        }
        return entries;
    };
    for (const std::string bad : {"", ".", "..", "../x", "a/b", "a\\b", "line\nbreak"})
        EXPECT_THROW(Par1FileList::validate(withNames({"ok", bad}), true), Par1FormatError) << bad;
    EXPECT_THROW(Par1FileList::validate(withNames({"a", "b", "a"}), true), Par1FormatError);
    EXPECT_NO_THROW(Par1FileList::validate(withNames({"Data", "data"}), true));
    EXPECT_THROW(Par1FileList::validate(withNames({"Data", "data"}), false), Par1FormatError);
    std::vector<std::string> many;
    for (int i = 0; i < 256; ++i)
        many.push_back(std::to_string(i));
    EXPECT_THROW(Par1FileList::validate(withNames(many), true), Par1FormatError);
    many.pop_back();
    EXPECT_NO_THROW(Par1FileList::validate(withNames(many), true));
}

} // namespace
} // namespace velmora::par1
