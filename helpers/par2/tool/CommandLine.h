#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::par2 {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// par2SL COMMAND [OPTIONS] -- PAR2FILE [FILES...]
struct CommandLine {
    enum class Command { Verify, Repair, Create, Version };

    Command command = Command::Verify;
    std::optional<std::uint64_t> blockSize;
    unsigned redundancy = 5;
    bool limitVolumeSize = false;
    std::uint64_t memoryBudget;
    std::string parFile;
    std::vector<std::string> files;

    // Throws UsageError for anything it does not understand.
    static CommandLine parse(const std::vector<std::string>& arguments);
    static const char* usage();
};

} // namespace velmora::par2
