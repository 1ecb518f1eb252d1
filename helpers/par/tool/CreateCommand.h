#pragma once

#include "CommandLine.h"
#include "Reporter.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::par1 {

// Command a: creates a set from files of one folder.
class CreateCommand {
public:
    CreateCommand(const CommandLine& line, const Reporter& reporter);

    // The exit status: 0 when the set was written, 1 when writing failed, 2 for bad arguments.
    int run();

private:
    // Why the command cannot start, or nothing.
    std::optional<std::string> refusal() const;
    std::optional<std::string> refusalOfFile(const std::string& name) const;
    // The name of a file given with a path into the set's folder (./a.bin);
    // any other argument as it stands.
    std::string nameInFolder(const std::string& argument) const;

    const CommandLine& line_;
    const Reporter& reporter_;
    std::filesystem::path folder_;
    std::string indexName_;
    std::vector<std::string> files_;
};

} // namespace velmora::par1
