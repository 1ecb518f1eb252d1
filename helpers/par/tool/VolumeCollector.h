#pragma once

#include "FolderListing.h"
#include "Par1VolumeFile.h"
#include "Reporter.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::par1 {

struct FoundVolume {
    std::string name;
    Par1VolumeFile file;
};

// Finds the recovery volumes of a set that can be used: same set, a parity block of the set's
// block size, an intact control hash, and a volume number not seen before.
class VolumeCollector {
public:
    VolumeCollector(const FolderListing& listing, std::string indexName, const Par1Header& set,
                    std::uint64_t blockSize, bool caseSensitive, const Reporter& reporter);

    // The volumes named after the set (NAME.P01 ...), with a "- OK" line for each usable one.
    void collectByName();
    // Other regular files of the folder that turn out to be volumes of this set; reported under
    // "Looking for additional PXX volumes:" when there are any.
    void collectAdditional(const std::function<bool(const std::string&)>& excluded);

    bool isNamedAfterSet(const std::string& name) const;
    const std::vector<FoundVolume>& volumes() const { return volumes_; }
    std::vector<std::uint64_t> volumeNumbers() const;

private:
    std::vector<FoundVolume> usableAmong(const std::vector<std::string>& names);

    const FolderListing& listing_;
    std::string indexName_;
    Par1Header set_;
    std::uint64_t blockSize_;
    bool caseSensitive_;
    const Reporter& reporter_;
    std::vector<FoundVolume> volumes_;
};

} // namespace velmora::par1
