#pragma once

#include "FileHandle.h"
#include "Par1FileEntry.h"
#include "Par1Header.h"

#include <filesystem>
#include <vector>

namespace velmora::par1 {

// One file of a set (the index file or a recovery volume), opened for reading with its header
// and file list checked against the file's real size.
class Par1VolumeFile {
public:
    // Throws IoError when the file cannot be read and Par1FormatError when it is not a sound
    // PAR 1.0 file.
    static Par1VolumeFile open(const std::filesystem::path& path);

    // Reads header and file list from a whole file held in memory.
    static void parse(std::span<const std::uint8_t> file, Par1Header& header,
                      std::vector<Par1FileEntry>& entries);

    const Par1Header& header() const { return header_; }
    const std::vector<Par1FileEntry>& entries() const { return entries_; }
    const FileHandle& file() const { return file_; }
    bool controlHashMatches() const;

    // MD5 of every byte from the set hash to the end of the file.
    static Md5Digest controlHashOf(const FileHandle& file);

private:
    Par1VolumeFile(FileHandle file, Par1Header header, std::vector<Par1FileEntry> entries);

    FileHandle file_;
    Par1Header header_;
    std::vector<Par1FileEntry> entries_;
};

} // namespace velmora::par1
