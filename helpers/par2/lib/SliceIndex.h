#pragma once

#include "Par2Format.h"
#include "RecoverySet.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velmora::par2 {

// Every input slice of the recovery set, numbered in the order that gives each its constant: the
// files as the main packet lists them, the slices of each in file order.
class SliceIndex {
public:
    struct Slice {
        std::uint32_t file;
        std::uint32_t sliceInFile;
        SliceChecksum checksum;
    };

    SliceIndex(const std::vector<const FileDescription*>& files, std::uint64_t sliceSize);

    std::uint64_t sliceSize() const { return sliceSize_; }
    std::size_t size() const { return slices_.size(); }
    const Slice& at(std::size_t index) const { return slices_[index]; }
    std::uint32_t firstSliceOf(std::uint32_t file) const { return firstSlice_[file]; }
    std::uint32_t sliceCountOf(std::uint32_t file) const {
        return firstSlice_[file + 1] - firstSlice_[file];
    }
    bool mayHave(std::uint32_t crc) const { return filter_[crc & filterMask_]; }
    // Slices with this CRC-32.
    std::vector<std::uint32_t> withCrc(std::uint32_t crc) const;

private:
    std::uint64_t sliceSize_;
    std::vector<Slice> slices_;
    std::vector<std::uint32_t> firstSlice_;
    std::unordered_multimap<std::uint32_t, std::uint32_t> byCrc_;
    // A bit per CRC-32 value modulo its size, some 16 per slice, so most windows of a scan are
    // turned away without a look-up.
    std::uint32_t filterMask_ = 0;
    std::vector<bool> filter_;
};

} // namespace velmora::par2
