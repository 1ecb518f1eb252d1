#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora::par1 {

struct SourceFile {
    std::string name;
    bool inParity = true;
};

// Writes a new set (index file and recovery volumes) for files of one folder. Everything is
// written under temporary names and moved into place only when the whole set is complete.
class Par1SetWriter {
public:
    Par1SetWriter(std::filesystem::path folder, std::string indexName,
                  std::vector<SourceFile> files, unsigned volumeCount);

    // The index name first, then the volume names.
    std::vector<std::string> outputNames() const;

    // progress receives the fraction of the work done, from 0 to 1. Without replaceExisting an
    // existing file of an output name stops the command before anything is moved into place.
    void write(bool replaceExisting, const std::function<void(double)>& progress);

private:
    std::filesystem::path folder_;
    std::string indexName_;
    std::vector<SourceFile> files_;
    unsigned volumeCount_;
};

} // namespace velmora::par1
