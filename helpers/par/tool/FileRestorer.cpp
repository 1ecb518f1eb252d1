#include "FileRestorer.h"

#include "ChunkStreamer.h"
#include "Md5Hasher.h"

#include <algorithm>

namespace velmora::par1 {

FileRestorer::FileRestorer(const RecoveryPlan& plan, std::vector<Source> intact,
                           std::vector<Source> volumes, std::uint64_t blockSize)
    : plan_(plan), sources_(std::move(intact)), blockSize_(blockSize) {
    sources_.insert(sources_.end(), volumes.begin(), volumes.end());
}

std::vector<RestoredFile> FileRestorer::run(const std::vector<const Par1FileEntry*>& missing,
                                            const std::vector<std::filesystem::path>& targets,
                                            const std::function<void(double)>& progress) {
    std::vector<StreamInput> inputs;
    std::uint64_t total = 0;
    for (const Source& source : sources_) {
        inputs.push_back({source.file, source.offset, source.length, nullptr, nullptr});
        total += source.length;
    }
    std::vector<RestoredFile> restored;
    std::vector<Md5Hasher> hashers(missing.size());
    for (const auto& target : targets)
        restored.push_back({AtomicOutputFile(target), false});

    std::vector<StreamOutput> outputs;
    for (std::size_t r = 0; r < missing.size(); ++r) {
        const std::uint64_t size = missing[r]->size;
        const FileHandle* out = &restored[r].output.file();
        Md5Hasher* hasher = &hashers[r];
        outputs.push_back([=](std::uint64_t position, std::span<const std::uint8_t> data) {
            if (position >= size)
                return;
            const auto part = data.first(
                static_cast<std::size_t>(std::min<std::uint64_t>(data.size(), size - position)));
            out->writeAt(position, part);
            hasher->update(part.data(), part.size());
        });
    }
    const LinearCombiner combiner(plan_.coefficients());
    ChunkStreamer(inputs, blockSize_).run(combiner, outputs, [&](std::uint64_t done) {
        progress(static_cast<double>(done) /
                 static_cast<double>(std::max<std::uint64_t>(total, 1)));
    });
    for (std::size_t r = 0; r < missing.size(); ++r)
        restored[r].matchesListedHash = hashers[r].finish() == missing[r]->fullHash;
    return restored;
}

} // namespace velmora::par1
