#pragma once

#include "FileHandle.h"
#include "Par2Format.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velmora::par2 {

// One packet whose checksum matched. A recovery slice's data stays in the file: its body holds
// only the exponent, and dataOffset says where the slice begins.
struct Packet {
    Md5Digest hash;
    Md5Digest setId;
    std::array<std::uint8_t, 16> type;
    std::vector<std::uint8_t> body;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataLength = 0;

    bool is(std::string_view packetType) const {
        return std::string_view(reinterpret_cast<const char*>(type.data()), type.size()) ==
               packetType;
    }
};

// Finds packets by their magic anywhere in a file, so that damaged, truncated or concatenated
// files give up every intact packet. A candidate whose length or checksum does not hold is
// skipped and the search goes on one byte further.
class PacketScanner {
public:
    static void scan(const par1::FileHandle& file, const std::function<void(Packet&&)>& deliver);
};

} // namespace velmora::par2
