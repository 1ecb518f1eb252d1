#include "FileAnalyzer.h"

#include "BlockScanner.h"
#include "FileDigest.h"
#include "FileHandle.h"

#include <sys/stat.h>

namespace velmora::par2 {

FileAnalyzer::FileAnalyzer(const SliceIndex& index,
                           std::function<bool(std::uint64_t)> hashWorthwhile,
                           std::function<bool(std::uint64_t, const Md5Digest&)> wholeFile)
    : index_(index), hashWorthwhile_(std::move(hashWorthwhile)), wholeFile_(std::move(wholeFile)) {}

FileAnalysis FileAnalyzer::analyze(const std::filesystem::path& path) const {
    FileAnalysis analysis;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return analysis;
    const par1::FileHandle file = par1::FileHandle::openForReading(path);
    analysis.exists = true;
    analysis.size = file.size();
    if (hashWorthwhile_(analysis.size)) {
        analysis.hash = par1::FileDigest::ofFile(file);
        analysis.wholeMatch = wholeFile_(analysis.size, *analysis.hash);
        if (analysis.wholeMatch)
            return analysis;
    }
    BlockScanner::scan(file, index_,
                       [&](const std::vector<std::uint32_t>& slices, std::uint64_t offset) {
                           for (const std::uint32_t slice : slices)
                               analysis.slices.push_back({slice, offset});
                       });
    return analysis;
}

} // namespace velmora::par2
