#include "Par1SetWriter.h"

#include "AtomicOutputFile.h"
#include "ChunkStreamer.h"
#include "FileDigest.h"
#include "GaloisField.h"
#include "Par1Error.h"
#include "Par1FileList.h"
#include "Par1Header.h"
#include "Par1VolumeFile.h"
#include "ParallelRunner.h"
#include "SetNames.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace velmora::par1 {
namespace {

struct OpenSource {
    FileHandle file;
    std::uint64_t size;
    bool inParity;
    Md5Hasher fullHash;
    Md5Hasher hash16k;
};

using Sources = std::vector<std::unique_ptr<OpenSource>>;

// Progress over work measured in bytes, reported as a fraction.
class WorkMeter {
public:
    WorkMeter(std::uint64_t total, const std::function<void(double)>& report)
        : total_(std::max<std::uint64_t>(total, 1)), report_(report) {}

    void set(std::uint64_t done) {
        report_(static_cast<double>(done) / static_cast<double>(total_));
    }

private:
    std::uint64_t total_;
    const std::function<void(double)>& report_;
};

Sources openSources(const std::filesystem::path& folder, const std::vector<SourceFile>& files) {
    Sources sources;
    for (const SourceFile& source : files) {
        FileHandle file = FileHandle::openForReading(folder / source.name);
        const std::uint64_t size = file.size();
        sources.push_back(std::make_unique<OpenSource>(
            OpenSource{std::move(file), size, source.inParity, {}, {}}));
    }
    return sources;
}

std::uint64_t blockSizeOf(const Sources& sources) {
    std::uint64_t blockSize = 0;
    for (const auto& source : sources) {
        if (source->inParity)
            blockSize = std::max(blockSize, source->size);
    }
    return blockSize;
}

CoefficientMatrix parityCoefficients(std::size_t volumeCount, std::size_t parityFiles) {
    CoefficientMatrix coefficients(volumeCount, parityFiles);
    for (std::size_t v = 0; v < volumeCount; ++v) {
        for (std::size_t i = 0; i < parityFiles; ++i)
            coefficients.at(v, i) = GaloisField::power(static_cast<std::uint8_t>(i + 1), v);
    }
    return coefficients;
}

// Reads (and hashes) the parity files once, writing every volume's parity block as it goes.
void streamParity(Sources& sources, std::vector<AtomicOutputFile>& outputs,
                  std::uint64_t dataOffset, WorkMeter& meter) {
    std::vector<StreamInput> inputs;
    for (auto& source : sources) {
        if (source->inParity)
            inputs.push_back({&source->file, 0, source->size, &source->fullHash, &source->hash16k});
    }
    std::vector<StreamOutput> volumes;
    for (std::size_t v = 1; v < outputs.size(); ++v) {
        const FileHandle* out = &outputs[v].file();
        volumes.push_back(
            [out, dataOffset](std::uint64_t position, std::span<const std::uint8_t> data) {
                out->writeAt(dataOffset + position, data);
            });
    }
    const LinearCombiner combiner(parityCoefficients(volumes.size(), inputs.size()));
    ChunkStreamer(inputs, blockSizeOf(sources)).run(combiner, volumes, [&](std::uint64_t done) {
        meter.set(done);
    });
}

// The hashes of the parity files were taken while streaming; the others are read now.
void fillHashes(std::vector<Par1FileEntry>& entries, Sources& sources, WorkMeter& meter) {
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        OpenSource& source = *sources[i];
        if (source.inParity) {
            entries[i].fullHash = source.fullHash.finish();
            entries[i].hash16k = source.hash16k.finish();
        } else {
            entries[i].fullHash = FileDigest::ofFile(source.file);
            entries[i].hash16k = FileDigest::ofRange(
                source.file, 0, std::min<std::uint64_t>(source.size, kHash16kSize));
        }
        done += source.size;
        meter.set(done);
    }
}

void writeHeadersAndLists(std::vector<AtomicOutputFile>& outputs,
                          const std::vector<Par1FileEntry>& entries, std::uint64_t blockSize) {
    const std::vector<std::uint8_t> list = Par1FileList::serialize(entries);
    Par1Header header;
    header.setHash = Par1FileList::setHash(entries);
    header.fileCount = entries.size();
    header.fileListSize = list.size();
    for (std::size_t v = 0; v < outputs.size(); ++v) {
        header.volumeNumber = v;
        header.dataOffset = v == 0 ? 0 : kHeaderSize + list.size();
        header.dataSize = v == 0 ? 0 : blockSize;
        outputs[v].file().writeAt(0, header.serialize());
        outputs[v].file().writeAt(kHeaderSize, list);
    }
}

// The control hash covers the set hash, so it can only be taken once everything else is written.
void writeControlHashes(std::vector<AtomicOutputFile>& outputs, std::uint64_t workBefore,
                        std::uint64_t blockSize, WorkMeter& meter) {
    std::atomic<std::uint64_t> hashed = 0;
    ParallelRunner::inOrder<Md5Digest>(
        outputs.size(),
        [&](std::size_t v) {
            const Md5Digest digest = Par1VolumeFile::controlHashOf(outputs[v].file());
            hashed += v == 0 ? 0 : blockSize;
            return digest;
        },
        [&](std::size_t v, Md5Digest& digest) {
            outputs[v].file().writeAt(0x10, digest);
            meter.set(workBefore + hashed);
        });
}

void commitAll(std::vector<AtomicOutputFile>& outputs, bool replaceExisting) {
    if (!replaceExisting) {
        for (const AtomicOutputFile& output : outputs) {
            if (std::filesystem::exists(std::filesystem::symlink_status(output.finalPath())))
                throw IoError(output.finalPath().filename().string() + " already exists");
        }
    }
    for (AtomicOutputFile& output : outputs)
        output.commit(replaceExisting);
}

} // namespace

Par1SetWriter::Par1SetWriter(std::filesystem::path folder, std::string indexName,
                             std::vector<SourceFile> files, unsigned volumeCount)
    : folder_(std::move(folder)), indexName_(std::move(indexName)), files_(std::move(files)),
      volumeCount_(volumeCount) {}

std::vector<std::string> Par1SetWriter::outputNames() const {
    std::vector<std::string> names{indexName_};
    for (unsigned v = 1; v <= volumeCount_; ++v)
        names.push_back(SetNames::volumeName(indexName_, v));
    return names;
}

void Par1SetWriter::write(bool replaceExisting, const std::function<void(double)>& progress) {
    Sources sources = openSources(folder_, files_);
    std::vector<Par1FileEntry> entries;
    std::uint64_t totalInput = 0;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        Par1FileEntry entry;
        entry.status = files_[i].inParity ? kStatusInParity | kStatusChecked : kStatusChecked;
        entry.size = sources[i]->size;
        entry.name = files_[i].name;
        entries.push_back(entry);
        totalInput += entry.size;
    }
    Par1FileList::validate(entries, true);
    const std::uint64_t blockSize = blockSizeOf(sources);
    WorkMeter meter(totalInput + volumeCount_ * blockSize, progress);

    std::vector<AtomicOutputFile> outputs;
    for (const std::string& name : outputNames())
        outputs.emplace_back(folder_ / name);
    streamParity(sources, outputs, kHeaderSize + Par1FileList::serialize(entries).size(), meter);
    fillHashes(entries, sources, meter);
    writeHeadersAndLists(outputs, entries, blockSize);
    writeControlHashes(outputs, totalInput, blockSize, meter);
    commitAll(outputs, replaceExisting);
    meter.set(totalInput + volumeCount_ * blockSize);
}

} // namespace velmora::par1
