#include "PacketWriter.h"

#include "Md5Hasher.h"

namespace velmora::par2 {

std::vector<std::uint8_t> PacketWriter::header(const Md5Digest& setId, std::string_view type,
                                               std::uint64_t bodyLength, const Md5Digest& hash) {
    std::vector<std::uint8_t> bytes(kPacketMagic.begin(), kPacketMagic.end());
    appendLe64(bytes, kPacketHeaderSize + bodyLength);
    bytes.insert(bytes.end(), hash.begin(), hash.end());
    bytes.insert(bytes.end(), setId.begin(), setId.end());
    bytes.insert(bytes.end(), type.begin(), type.end());
    return bytes;
}

std::vector<std::uint8_t> PacketWriter::packet(const Md5Digest& setId, std::string_view type,
                                               const std::vector<std::uint8_t>& body) {
    par1::Md5Hasher hasher;
    hasher.update(setId.data(), setId.size());
    hasher.update(type.data(), type.size());
    hasher.update(body.data(), body.size());
    std::vector<std::uint8_t> bytes = header(setId, type, body.size(), hasher.finish());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

} // namespace velmora::par2
