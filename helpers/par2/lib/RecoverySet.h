#pragma once

#include "PacketScanner.h"
#include "Par2Format.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::par2 {

struct SliceChecksum {
    Md5Digest md5;
    std::uint32_t crc;
};

// What the set says about one protected file. storedName is the name as its bytes stand in the
// file description; unicodeName is the optional UTF-16 name, already in UTF-8.
struct FileDescription {
    Md5Digest id{};
    Md5Digest hash{};
    Md5Digest hash16k{};
    std::uint64_t length = 0;
    std::string storedName;
    std::optional<std::string> unicodeName;
    std::vector<SliceChecksum> slices;
    bool described = false;
};

struct RecoverySliceLocation {
    std::filesystem::path path;
    std::uint64_t offset;
};

// The packets of one recovery set gathered from any number of files, each packet once however
// many volumes repeat it. The set is the one of the first main packet seen; packets of other
// sets are ignored.
class RecoverySet {
public:
    struct LoadResult {
        int newPackets = 0;
        int newRecoveryBlocks = 0;
    };

    // Throws par1::IoError when the file cannot be read.
    LoadResult load(const std::filesystem::path& path);
    // The two halves of load: reading checks every packet's MD5 and may run for several files
    // at once; adding takes the packets read from path into the set, file after file.
    static std::vector<Packet> read(const std::filesystem::path& path);
    LoadResult add(std::vector<Packet>&& packets, const std::filesystem::path& path);

    bool hasMainPacket() const { return sliceSize_ != 0; }
    std::uint64_t sliceSize() const { return sliceSize_; }
    const std::vector<Md5Digest>& recoverableIds() const { return recoverableIds_; }
    const std::vector<Md5Digest>& otherIds() const { return otherIds_; }
    const FileDescription* file(const Md5Digest& id) const;
    // Recovery slices of the right size, by exponent.
    std::map<std::uint32_t, RecoverySliceLocation> recoverySlices() const;
    const Md5Digest& setId() const { return *setId_; }

private:
    bool accept(const Packet& packet);
    void apply(const Packet& packet, const std::filesystem::path& path, LoadResult& result);
    void applyMain(const std::vector<std::uint8_t>& body);
    void applyDescription(const std::vector<std::uint8_t>& body);
    void applyChecksums(const std::vector<std::uint8_t>& body);
    void applyUnicodeName(const std::vector<std::uint8_t>& body);

    std::optional<Md5Digest> setId_;
    std::uint64_t sliceSize_ = 0;
    std::vector<Md5Digest> recoverableIds_;
    std::vector<Md5Digest> otherIds_;
    std::map<Md5Digest, FileDescription> files_;
    std::map<std::uint32_t, std::pair<RecoverySliceLocation, std::uint64_t>> recovery_;
    std::set<Md5Digest> seen_;
    // Packets met before any main packet named the set.
    std::vector<std::pair<Packet, std::filesystem::path>> pending_;
};

} // namespace velmora::par2
