#pragma once

#include "Par2Format.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::par2 {

// Serialises a packet: header with length and checksum, then the body.
class PacketWriter {
public:
    static std::vector<std::uint8_t> packet(const Md5Digest& setId, std::string_view type,
                                            const std::vector<std::uint8_t>& body);
    // The header of a packet whose body's checksum was computed elsewhere (a recovery slice
    // streamed to disk): hash covers the set ID, the type and the body.
    static std::vector<std::uint8_t> header(const Md5Digest& setId, std::string_view type,
                                            std::uint64_t bodyLength, const Md5Digest& hash);
};

} // namespace velmora::par2
