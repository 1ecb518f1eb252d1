#pragma once

#include "CommandLine.h"
#include "FolderListing.h"
#include "Par1VolumeFile.h"
#include "Reporter.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::par1 {

class RecoveryPlan;
class VolumeCollector;
struct RestoredFile;

// Commands r and c: checks every listed file, finds the recovery volumes and (for r) restores
// the damaged and missing files of the parity data.
class CheckCommand {
public:
    CheckCommand(const CommandLine& line, const Reporter& reporter);
    ~CheckCommand();

    // The exit status: 0 when every listed file is intact, 1 when not, 2 when the set is unusable.
    int run();

private:
    enum class State { Intact, Damaged, Missing };

    struct ListedFile {
        const Par1FileEntry* entry;
        // The name the file has in the folder; empty when there is none.
        std::string diskName;
        State state = State::Missing;
    };

    bool loadSet();
    bool adoptIntactVolumeList();
    void checkListedFiles();
    struct CandidateHashes {
        std::optional<Md5Digest> hash16k;
        std::optional<Md5Digest> full;
    };

    State stateOf(const ListedFile& file, const std::optional<FolderListing::Item>& found) const;
    void report(ListedFile& file);
    bool findUnderOtherName(ListedFile& file);
    std::optional<std::string> matchingCandidate(const Par1FileEntry& entry);
    bool isSetFileOrListed(const std::string& name) const;
    std::vector<std::size_t> damagedParityPositions() const;
    void restore(const RecoveryPlan& plan, const std::vector<std::size_t>& damaged);
    void finishRestoredFile(ListedFile& file, RestoredFile& restored);
    std::string moveAside(const std::string& name);
    void reportTooManyMissing(const std::vector<std::size_t>& damaged, bool volumesSufficeInNumber);
    void reportClosingLine(bool restoreWasNeeded) const;
    bool everythingIntact() const;

    const CommandLine& line_;
    const Reporter& reporter_;
    std::filesystem::path folder_;
    std::string indexName_;
    std::unique_ptr<FolderListing> listing_;
    Par1Header setHeader_;
    std::vector<Par1FileEntry> entries_;
    std::vector<ListedFile> files_;
    // Positions in files_ of the files saved in the parity data, in parity order.
    std::vector<std::size_t> parityFiles_;
    std::uint64_t blockSize_ = 0;
    std::unique_ptr<VolumeCollector> volumes_;
    std::map<std::string, CandidateHashes> candidateHashes_;
    bool errorsOccurred_ = false;
};

} // namespace velmora::par1
