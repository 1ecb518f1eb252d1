#include "PacketScanner.h"

#include "Md5Hasher.h"

#include <algorithm>
#include <cstring>

namespace velmora::par2 {
namespace {

constexpr std::size_t kSearchChunk = 1024 * 1024;

class Candidate {
public:
    Candidate(const par1::FileHandle& file, std::uint64_t offset, std::uint64_t fileSize)
        : file_(file), offset_(offset), fileSize_(fileSize) {}

    // The packet's length, or 0 when the candidate is not an intact packet.
    std::uint64_t read(Packet& packet) const {
        std::uint8_t header[kPacketHeaderSize];
        if (fileSize_ - offset_ < kPacketHeaderSize)
            return 0;
        file_.readExactly(offset_, header);
        const std::uint64_t length = readLe64(header + 8);
        if (length < kPacketHeaderSize || length % 4 != 0 || length > fileSize_ - offset_)
            return 0;
        packet.hash = digestAt(header + 16);
        packet.setId = digestAt(header + 32);
        std::copy(header + 48, header + 64, packet.type.begin());
        const std::uint64_t bodyLength = length - kPacketHeaderSize;
        const bool recoverySlice = packet.is(kRecoverySliceType);
        if (recoverySlice ? bodyLength < 4 : bodyLength > kMaxMetadataBody)
            return 0;
        return checksumHolds(header, packet, bodyLength, recoverySlice) ? length : 0;
    }

private:
    bool checksumHolds(const std::uint8_t* header, Packet& packet, std::uint64_t bodyLength,
                       bool recoverySlice) const {
        par1::Md5Hasher hasher;
        hasher.update(header + 32, 32);
        const std::uint64_t bodyOffset = offset_ + kPacketHeaderSize;
        packet.body.resize(recoverySlice ? 4 : static_cast<std::size_t>(bodyLength));
        file_.readExactly(bodyOffset, packet.body);
        hasher.update(packet.body.data(), packet.body.size());
        if (recoverySlice) {
            packet.dataOffset = bodyOffset + 4;
            packet.dataLength = bodyLength - 4;
            std::vector<std::uint8_t> buffer(
                static_cast<std::size_t>(std::min<std::uint64_t>(packet.dataLength, 1 << 20)));
            for (std::uint64_t done = 0; done < packet.dataLength;) {
                const auto size = static_cast<std::size_t>(
                    std::min<std::uint64_t>(buffer.size(), packet.dataLength - done));
                file_.readExactly(packet.dataOffset + done, {buffer.data(), size});
                hasher.update(buffer.data(), size);
                done += size;
            }
        }
        return hasher.finish() == packet.hash;
    }

    const par1::FileHandle& file_;
    std::uint64_t offset_;
    std::uint64_t fileSize_;
};

} // namespace

// A volume may hold a hundred thousand small packets: the search goes on in the piece already
// read and reads again only when it reaches that piece's end.
void PacketScanner::scan(const par1::FileHandle& file,
                         const std::function<void(Packet&&)>& deliver) {
    const std::uint64_t fileSize = file.size();
    const std::size_t magicSize = kPacketMagic.size();
    // No larger than the file: most PAR 2 files are small, and a volume is read in large pieces.
    std::vector<std::uint8_t> chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(kSearchChunk, fileSize) + magicSize));
    std::uint64_t chunkStart = 0;
    std::size_t got = 0;
    std::uint64_t position = 0;
    while (position + magicSize <= fileSize) {
        if (position + magicSize > chunkStart + got) {
            chunkStart = position;
            got = file.readAt(position, chunk);
            if (got < magicSize)
                return;
        }
        const auto end = chunk.begin() + static_cast<std::ptrdiff_t>(got);
        const auto found =
            std::search(chunk.begin() + static_cast<std::ptrdiff_t>(position - chunkStart), end,
                        kPacketMagic.begin(), kPacketMagic.end());
        if (found == end) {
            position = chunkStart + got - (magicSize - 1);
            continue;
        }
        const std::uint64_t offset = chunkStart + std::uint64_t(found - chunk.begin());
        Packet packet;
        const std::uint64_t length = Candidate(file, offset, fileSize).read(packet);
        if (length == 0) {
            position = offset + 1;
            continue;
        }
        deliver(std::move(packet));
        position = offset + length;
    }
}

} // namespace velmora::par2
