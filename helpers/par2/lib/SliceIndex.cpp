#include "SliceIndex.h"

#include <algorithm>
#include <bit>

namespace velmora::par2 {

SliceIndex::SliceIndex(const std::vector<const FileDescription*>& files, std::uint64_t sliceSize)
    : sliceSize_(sliceSize) {
    std::uint64_t total = 0;
    for (const FileDescription* file : files)
        total += file->slices.size();
    const std::uint64_t bits = std::bit_ceil(std::clamp<std::uint64_t>(total * 16, 1024, 1u << 20));
    filterMask_ = static_cast<std::uint32_t>(bits - 1);
    filter_.resize(static_cast<std::size_t>(bits));
    for (std::uint32_t file = 0; file < files.size(); ++file) {
        firstSlice_.push_back(static_cast<std::uint32_t>(slices_.size()));
        const std::uint64_t count = (files[file]->length + sliceSize - 1) / sliceSize;
        for (std::uint32_t slice = 0; slice < count; ++slice) {
            const SliceChecksum checksum =
                slice < files[file]->slices.size() ? files[file]->slices[slice] : SliceChecksum{};
            const auto index = static_cast<std::uint32_t>(slices_.size());
            slices_.push_back({file, slice, checksum});
            if (slice < files[file]->slices.size()) {
                byCrc_.emplace(checksum.crc, index);
                filter_[checksum.crc & filterMask_] = true;
            }
        }
    }
    firstSlice_.push_back(static_cast<std::uint32_t>(slices_.size()));
}

std::vector<std::uint32_t> SliceIndex::withCrc(std::uint32_t crc) const {
    std::vector<std::uint32_t> found;
    const auto [begin, end] = byCrc_.equal_range(crc);
    for (auto it = begin; it != end; ++it)
        found.push_back(it->second);
    return found;
}

} // namespace velmora::par2
