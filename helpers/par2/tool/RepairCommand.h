#pragma once

#include "CommandLine.h"
#include "FileAnalyzer.h"
#include "Output.h"
#include "RecoverySet.h"
#include "SliceIndex.h"
#include "StoredNameDecoder.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::par2 {

// "v" and "r": loads the set from the PAR 2 files named and found beside the main file, checks
// every protected file and every other file named, and (for "r") rebuilds what is damaged or
// missing and gives misnamed files their names back. Speaks par2cmdline's lines, which the
// application reads.
class RepairCommand {
public:
    RepairCommand(const CommandLine& line, const Output& output);
    int run();

private:
    struct Target {
        const FileDescription* description;
        std::uint32_t number;
        std::string name;
        bool writable;
        FileAnalysis analysis{};
        bool complete = false;
        std::optional<std::string> foundAs;
        std::uint32_t ownSlices = 0;
    };
    struct Location {
        std::filesystem::path path;
        std::uint64_t offset;
    };

    std::vector<std::string> parFilesToLoad() const;
    std::vector<std::string> extraFiles() const;
    void loadParFiles();
    bool describeTargets();
    void verifyTargets();
    void scanExtraFiles(const std::vector<std::string>& extras);
    void reportTarget(Target& target);
    void reportExtra(const std::string& name, const FileAnalysis& analysis);
    int summarise();
    int repair(std::uint32_t missingCount);
    void rebuild(const std::vector<Target*>& rebuilt, std::uint64_t& written);
    void renameMisnamed();
    std::uint32_t availableCount() const;

    const CommandLine& line_;
    const Output& output_;
    StoredNameDecoder decoder_;
    RecoverySet set_;
    std::vector<Target> targets_;
    std::unique_ptr<SliceIndex> index_;
    std::vector<std::optional<Location>> available_;
    std::map<std::string, std::string> misnamed_;
};

} // namespace velmora::par2
