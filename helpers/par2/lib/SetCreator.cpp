#include "SetCreator.h"

#include "AtomicOutputFile.h"
#include "Crc32.h"
#include "FileHandle.h"
#include "Gf16.h"
#include "Md5Hasher.h"
#include "PacketWriter.h"
#include "ParallelRunner.h"
#include "SliceCombiner.h"

#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace velmora::par2 {
namespace {

constexpr std::uint32_t kPreferredBlockCount = 2000;
constexpr std::size_t kReadBuffer = 4 * 1024 * 1024;
constexpr std::string_view kCreator = "Created by Velmora par2SL 0.1.0.";

std::uint64_t blockCount(const std::vector<std::uint64_t>& sizes, std::uint64_t blockSize) {
    std::uint64_t count = 0;
    for (const std::uint64_t size : sizes)
        count += (size + blockSize - 1) / blockSize;
    return count;
}

void appendPadded(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    while (out.size() % 4 != 0)
        out.push_back(0);
}

void append(std::vector<std::uint8_t>& out, const Md5Digest& digest) {
    out.insert(out.end(), digest.begin(), digest.end());
}

std::size_t digits(std::uint32_t value) {
    return std::to_string(value).size();
}

// Whole-file MD5, MD5 of the first 16 KiB and the checksums of every slice, in one read.
FileDescription describeFile(const std::string& name, std::uint64_t sliceSize) {
    const par1::FileHandle file = par1::FileHandle::openForReading(name);
    FileDescription description;
    description.storedName = name;
    description.length = file.size();
    par1::Md5Hasher whole, first16k, slice;
    std::uint32_t crc = 0;
    std::uint64_t inSlice = 0;
    std::vector<std::uint8_t> buffer(kReadBuffer);
    for (std::uint64_t offset = 0; offset < description.length;) {
        const auto size = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer.size(), description.length - offset));
        file.readExactly(offset, {buffer.data(), size});
        whole.update(buffer.data(), size);
        if (offset < kHash16kSize)
            first16k.update(buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(
                                               size, kHash16kSize - offset)));
        for (std::size_t at = 0; at < size;) {
            const auto part =
                static_cast<std::size_t>(std::min<std::uint64_t>(size - at, sliceSize - inSlice));
            slice.update(buffer.data() + at, part);
            crc = Crc32::of(buffer.data() + at, part, crc);
            inSlice += part;
            at += part;
            if (inSlice == sliceSize) {
                description.slices.push_back({slice.finish(), crc});
                crc = 0;
                inSlice = 0;
            }
        }
        offset += size;
    }
    if (inSlice > 0) {
        const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(sliceSize - inSlice));
        slice.update(zeros.data(), zeros.size());
        description.slices.push_back(
            {slice.finish(), Crc32::extendWithZeros(crc, sliceSize - inSlice)});
    }
    description.hash = whole.finish();
    description.hash16k = first16k.finish();
    par1::Md5Hasher id;
    id.update(description.hash16k.data(), description.hash16k.size());
    std::vector<std::uint8_t> length;
    appendLe64(length, description.length);
    id.update(length.data(), length.size());
    id.update(name.data(), name.size());
    description.id = id.finish();
    description.described = true;
    return description;
}

std::vector<std::uint8_t> criticalPackets(const Md5Digest& setId,
                                          const std::vector<std::uint8_t>& mainBody,
                                          const std::vector<FileDescription>& files) {
    std::vector<std::uint8_t> bytes = PacketWriter::packet(setId, kMainType, mainBody);
    for (const FileDescription& file : files) {
        std::vector<std::uint8_t> body;
        append(body, file.id);
        append(body, file.hash);
        append(body, file.hash16k);
        appendLe64(body, file.length);
        appendPadded(body, file.storedName);
        const auto description = PacketWriter::packet(setId, kFileDescriptionType, body);
        bytes.insert(bytes.end(), description.begin(), description.end());
        body.clear();
        append(body, file.id);
        for (const SliceChecksum& slice : file.slices) {
            append(body, slice.md5);
            appendLe32(body, slice.crc);
        }
        const auto checksums = PacketWriter::packet(setId, kSliceChecksumType, body);
        bytes.insert(bytes.end(), checksums.begin(), checksums.end());
    }
    std::vector<std::uint8_t> creator;
    appendPadded(creator, kCreator);
    const auto packet = PacketWriter::packet(setId, kCreatorType, creator);
    bytes.insert(bytes.end(), packet.begin(), packet.end());
    return bytes;
}

} // namespace

SetCreator::SetCreator(std::filesystem::path mainFile, std::vector<std::string> files,
                       Options options)
    : mainFile_(std::move(mainFile)), files_(std::move(files)), options_(options) {
    for (const std::string& name : files_) {
        struct stat status {};
        if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            throw CreateError("\"" + name + "\" is not a readable file");
        sizes_.push_back(static_cast<std::uint64_t>(status.st_size));
    }
    plan_.blockSize = options_.blockSize.value_or(chooseBlockSize(sizes_));
    const std::uint64_t sourceBlocks = blockCount(sizes_, plan_.blockSize);
    if (sourceBlocks == 0 || sourceBlocks > kMaxSlices)
        throw CreateError("the block size gives " + std::to_string(sourceBlocks) +
                          " source blocks; a set holds 1 to 32768");
    plan_.sourceBlocks = static_cast<std::uint32_t>(sourceBlocks);
    plan_.recoveryBlocks = static_cast<std::uint32_t>(
        std::min<std::uint64_t>((sourceBlocks * options_.redundancy + 50) / 100, 65535));
    const std::uint64_t largest = *std::max_element(sizes_.begin(), sizes_.end());
    const std::uint64_t cap =
        options_.limitVolumeSize
            ? std::max<std::uint64_t>(1, (largest + plan_.blockSize - 1) / plan_.blockSize)
            : UINT64_MAX;
    std::uint32_t first = 0;
    for (std::uint64_t count = 1; first < plan_.recoveryBlocks; count *= 2) {
        const auto take = static_cast<std::uint32_t>(
            std::min<std::uint64_t>({count, cap, std::uint64_t(plan_.recoveryBlocks - first)}));
        plan_.volumes.emplace_back(first, take);
        first += take;
    }
}

std::uint64_t SetCreator::chooseBlockSize(const std::vector<std::uint64_t>& sizes) {
    const std::uint64_t limit = std::max<std::uint64_t>(kPreferredBlockCount, sizes.size());
    std::uint64_t low = 1;
    std::uint64_t high =
        std::max<std::uint64_t>(1, (*std::max_element(sizes.begin(), sizes.end()) + 3) / 4);
    while (low < high) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (blockCount(sizes, middle * 4) <= limit)
            high = middle;
        else
            low = middle + 1;
    }
    return low * 4;
}

std::string SetCreator::volumeName(const std::string& base, std::uint32_t first,
                                   std::uint32_t count, const Plan& plan) {
    std::size_t firstWidth = 1, countWidth = 1;
    for (const auto& [volumeFirst, volumeCount] : plan.volumes) {
        firstWidth = std::max(firstWidth, digits(volumeFirst));
        countWidth = std::max(countWidth, digits(volumeCount));
    }
    std::string firstText = std::to_string(first), countText = std::to_string(count);
    firstText.insert(0, firstWidth - firstText.size(), '0');
    countText.insert(0, countWidth - countText.size(), '0');
    return base + ".vol" + firstText + "+" + countText + ".par2";
}

std::vector<std::filesystem::path> SetCreator::outputNames() const {
    std::string base = mainFile_.filename().string();
    if (base.size() > 5 && base.ends_with(".par2"))
        base.resize(base.size() - 5);
    std::vector<std::filesystem::path> names{mainFile_};
    for (const auto& [first, count] : plan_.volumes)
        names.push_back(mainFile_.parent_path() / volumeName(base, first, count, plan_));
    return names;
}

std::vector<FileDescription> SetCreator::describe() const {
    std::vector<FileDescription> descriptions(files_.size());
    par1::ParallelRunner::inOrder<FileDescription>(
        files_.size(), [&](std::size_t job) { return describeFile(files_[job], plan_.blockSize); },
        [&](std::size_t job, FileDescription& description) {
            descriptions[job] = std::move(description);
        });
    std::sort(
        descriptions.begin(), descriptions.end(),
        [](const FileDescription& a, const FileDescription& b) { return fileIdLess(a.id, b.id); });
    return descriptions;
}

void SetCreator::create(const Progress& progress) {
    const std::vector<FileDescription> files = describe();
    std::vector<std::uint8_t> mainBody;
    appendLe64(mainBody, plan_.blockSize);
    appendLe32(mainBody, static_cast<std::uint32_t>(files.size()));
    for (const FileDescription& file : files)
        append(mainBody, file.id);
    const Md5Digest setId = par1::Md5Hasher::of(mainBody);
    const std::vector<std::uint8_t> critical = criticalPackets(setId, mainBody, files);

    const std::vector<std::filesystem::path> names = outputNames();
    std::vector<par1::AtomicOutputFile> outputs;
    for (const auto& name : names)
        outputs.emplace_back(name);
    outputs[0].file().writeAt(0, critical);

    // Each recovery packet: header, exponent, slice; the header once the slice is complete.
    const std::uint64_t packetSize = kPacketHeaderSize + 4 + plan_.blockSize;
    std::vector<std::pair<std::size_t, std::uint64_t>> place(plan_.recoveryBlocks);
    std::vector<par1::Md5Hasher> hashers(plan_.recoveryBlocks);
    for (std::size_t v = 0; v < plan_.volumes.size(); ++v) {
        const auto [first, count] = plan_.volumes[v];
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t exponent = first + i;
            place[exponent] = {v + 1, std::uint64_t(i) * packetSize};
            std::vector<std::uint8_t> start;
            appendLe32(start, exponent);
            hashers[exponent].update(setId.data(), setId.size());
            hashers[exponent].update(kRecoverySliceType.data(), kRecoverySliceType.size());
            hashers[exponent].update(start.data(), start.size());
            outputs[v + 1].file().writeAt(place[exponent].second + kPacketHeaderSize, start);
        }
        outputs[v + 1].file().writeAt(std::uint64_t(count) * packetSize, critical);
    }

    std::map<std::string, SourceFile> sourceFiles;
    std::vector<SliceSource> inputs;
    std::vector<std::uint16_t> constants;
    for (const FileDescription& file : files) {
        const SourceFile& source =
            sourceFiles.try_emplace(file.storedName, file.storedName).first->second;
        for (std::uint64_t offset = 0; offset < file.length; offset += plan_.blockSize) {
            inputs.push_back({&source, offset, std::min(plan_.blockSize, file.length - offset)});
            constants.push_back(Gf16::inputConstant(static_cast<std::uint32_t>(constants.size())));
        }
    }
    SliceCombiner(plan_.blockSize, options_.memoryBudget)
        .run(
            inputs, plan_.recoveryBlocks,
            [&](std::size_t output, std::size_t input) {
                return Gf16::power(constants[input], static_cast<std::uint32_t>(output));
            },
            [&](std::size_t output, std::uint64_t offset, std::span<const std::uint8_t> data) {
                hashers[output].update(data.data(), data.size());
                outputs[place[output].first].file().writeAt(
                    place[output].second + kPacketHeaderSize + 4 + offset, data);
            },
            progress);
    for (std::uint32_t exponent = 0; exponent < plan_.recoveryBlocks; ++exponent)
        outputs[place[exponent].first].file().writeAt(
            place[exponent].second,
            PacketWriter::header(setId, kRecoverySliceType, 4 + plan_.blockSize,
                                 hashers[exponent].finish()));
    for (auto& output : outputs)
        output.commit(false);
}

} // namespace velmora::par2
