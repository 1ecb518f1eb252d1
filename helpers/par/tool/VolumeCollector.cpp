#include "VolumeCollector.h"

#include "FileNameRules.h"
#include "Par1Error.h"
#include "ParallelRunner.h"
#include "SetNames.h"

#include <algorithm>
#include <map>
#include <optional>

namespace velmora::par1 {

VolumeCollector::VolumeCollector(const FolderListing& listing, std::string indexName,
                                 const Par1Header& set, std::uint64_t blockSize, bool caseSensitive,
                                 const Reporter& reporter)
    : listing_(listing), indexName_(std::move(indexName)), set_(set), blockSize_(blockSize),
      caseSensitive_(caseSensitive), reporter_(reporter) {}

bool VolumeCollector::isNamedAfterSet(const std::string& name) const {
    return SetNames::volumeNumberOf(name, indexName_, caseSensitive_).has_value();
}

std::vector<std::uint64_t> VolumeCollector::volumeNumbers() const {
    std::vector<std::uint64_t> numbers;
    for (const FoundVolume& volume : volumes_)
        numbers.push_back(volume.file.header().volumeNumber);
    return numbers;
}

void VolumeCollector::collectByName() {
    std::multimap<unsigned, std::string> byNumber;
    for (const FolderListing::Item& item : listing_.items()) {
        const auto number = SetNames::volumeNumberOf(item.name, indexName_, caseSensitive_);
        if (number && item.regular)
            byNumber.emplace(*number, item.name);
    }
    std::vector<std::string> names;
    for (const auto& [number, name] : byNumber)
        names.push_back(name);
    for (FoundVolume& volume : usableAmong(names)) {
        reporter_.fileLine(volume.name, "OK");
        volumes_.push_back(std::move(volume));
    }
}

void VolumeCollector::collectAdditional(const std::function<bool(const std::string&)>& excluded) {
    std::vector<std::string> names;
    for (const FolderListing::Item& item : listing_.items()) {
        if (item.regular && item.size >= kHeaderSize && !isNamedAfterSet(item.name) &&
            !excluded(item.name))
            names.push_back(item.name);
    }
    std::vector<FoundVolume> found = usableAmong(names);
    if (found.empty())
        return;
    reporter_.line("Looking for additional PXX volumes:");
    for (FoundVolume& volume : found) {
        reporter_.fileLine(volume.name, "OK");
        volumes_.push_back(std::move(volume));
    }
}

std::vector<FoundVolume> VolumeCollector::usableAmong(const std::vector<std::string>& names) {
    std::vector<FoundVolume> usable;
    ParallelRunner::inOrder<std::optional<Par1VolumeFile>>(
        names.size(),
        [&](std::size_t i) -> std::optional<Par1VolumeFile> {
            try {
                Par1VolumeFile file = Par1VolumeFile::open(listing_.folder() / names[i]);
                const Par1Header& header = file.header();
                if (header.setHash != set_.setHash || header.volumeNumber == 0 ||
                    header.dataSize != blockSize_ || !file.controlHashMatches())
                    return std::nullopt;
                return file;
            } catch (const IoError&) {
                return std::nullopt;
            } catch (const Par1FormatError&) {
                return std::nullopt;
            }
        },
        [&](std::size_t i, std::optional<Par1VolumeFile>& file) {
            if (!file)
                return;
            const auto seen = [&](const FoundVolume& v) {
                return v.file.header().volumeNumber == file->header().volumeNumber;
            };
            if (std::none_of(volumes_.begin(), volumes_.end(), seen) &&
                std::none_of(usable.begin(), usable.end(), seen))
                usable.push_back({names[i], std::move(*file)});
        });
    return usable;
}

} // namespace velmora::par1
