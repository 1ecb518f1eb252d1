#include "RecoverySet.h"

#include "NameCodec.h"

namespace velmora::par2 {
namespace {

std::string trimmedName(const std::uint8_t* begin, const std::uint8_t* end) {
    std::string name(begin, end);
    while (!name.empty() && name.back() == '\0')
        name.pop_back();
    return name;
}

} // namespace

RecoverySet::LoadResult RecoverySet::load(const std::filesystem::path& path) {
    return add(read(path), path);
}

std::vector<Packet> RecoverySet::read(const std::filesystem::path& path) {
    std::vector<Packet> packets;
    const par1::FileHandle file = par1::FileHandle::openForReading(path);
    PacketScanner::scan(file, [&](Packet&& packet) { packets.push_back(std::move(packet)); });
    return packets;
}

RecoverySet::LoadResult RecoverySet::add(std::vector<Packet>&& packets,
                                         const std::filesystem::path& path) {
    LoadResult result;
    for (Packet& packet : packets) {
        if (!setId_ && packet.is(kMainType)) {
            setId_ = packet.setId;
            auto waiting = std::move(pending_);
            for (auto& [early, earlyPath] : waiting)
                apply(early, earlyPath, result);
        }
        if (!setId_)
            pending_.emplace_back(std::move(packet), path);
        else
            apply(packet, path, result);
    }
    return result;
}

void RecoverySet::apply(const Packet& packet, const std::filesystem::path& path,
                        LoadResult& result) {
    if (packet.setId != *setId_ || !seen_.insert(packet.hash).second)
        return;
    if (packet.is(kRecoverySliceType)) {
        const std::uint32_t exponent = readLe32(packet.body.data());
        if (exponent >= 65535 || recovery_.contains(exponent))
            return;
        recovery_.emplace(
            exponent, std::pair{RecoverySliceLocation{path, packet.dataOffset}, packet.dataLength});
        ++result.newRecoveryBlocks;
    } else if (packet.is(kMainType)) {
        applyMain(packet.body);
    } else if (packet.is(kFileDescriptionType)) {
        applyDescription(packet.body);
    } else if (packet.is(kSliceChecksumType)) {
        applyChecksums(packet.body);
    } else if (packet.is(kUnicodeNameType)) {
        applyUnicodeName(packet.body);
    }
    ++result.newPackets;
}

void RecoverySet::applyMain(const std::vector<std::uint8_t>& body) {
    if (sliceSize_ != 0 || body.size() < 12 || (body.size() - 12) % 16 != 0)
        return;
    const std::uint64_t sliceSize = readLe64(body.data());
    const std::uint32_t recoverable = readLe32(body.data() + 8);
    const std::size_t idCount = (body.size() - 12) / 16;
    if (sliceSize == 0 || sliceSize % 4 != 0 || recoverable > idCount)
        return;
    sliceSize_ = sliceSize;
    for (std::size_t i = 0; i < idCount; ++i)
        (i < recoverable ? recoverableIds_ : otherIds_)
            .push_back(digestAt(body.data() + 12 + 16 * i));
}

void RecoverySet::applyDescription(const std::vector<std::uint8_t>& body) {
    if (body.size() < 56)
        return;
    FileDescription& entry = files_[digestAt(body.data())];
    if (entry.described)
        return;
    entry.id = digestAt(body.data());
    entry.hash = digestAt(body.data() + 16);
    entry.hash16k = digestAt(body.data() + 32);
    entry.length = readLe64(body.data() + 48);
    entry.storedName = trimmedName(body.data() + 56, body.data() + body.size());
    entry.described = true;
}

void RecoverySet::applyChecksums(const std::vector<std::uint8_t>& body) {
    if (body.size() < 16 || (body.size() - 16) % 20 != 0)
        return;
    FileDescription& entry = files_[digestAt(body.data())];
    if (!entry.slices.empty())
        return;
    for (std::size_t offset = 16; offset < body.size(); offset += 20)
        entry.slices.push_back(
            {digestAt(body.data() + offset), readLe32(body.data() + offset + 16)});
}

void RecoverySet::applyUnicodeName(const std::vector<std::uint8_t>& body) {
    if (body.size() < 18)
        return;
    std::size_t end = body.size();
    while (end >= 18 && body[end - 1] == 0 && body[end - 2] == 0)
        end -= 2;
    try {
        files_[digestAt(body.data())].unicodeName =
            par1::NameCodec::fromUtf16le({body.data() + 16, end - 16});
    } catch (const par1::NameCodecError&) {
        // A name that does not decode is no better than none; the ASCII name stands.
    }
}

const FileDescription* RecoverySet::file(const Md5Digest& id) const {
    const auto found = files_.find(id);
    return found == files_.end() || !found->second.described ? nullptr : &found->second;
}

std::map<std::uint32_t, RecoverySliceLocation> RecoverySet::recoverySlices() const {
    std::map<std::uint32_t, RecoverySliceLocation> slices;
    for (const auto& [exponent, entry] : recovery_) {
        if (entry.second == sliceSize_)
            slices.emplace(exponent, entry.first);
    }
    return slices;
}

} // namespace velmora::par2
