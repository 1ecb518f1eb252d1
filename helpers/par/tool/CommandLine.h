#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::par1 {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// par COMMAND [OPTIONS] -- PARFILE [FILES...]
struct CommandLine {
    enum class Command { Restore, Check, Create };

    Command command = Command::Check;
    unsigned volumeCount = 1;
    bool fixNames = false;
    bool moveDamaged = false;
    bool caseSensitive = true;
    bool overwrite = false;
    std::string parFile;
    std::vector<std::string> files;

    // Throws UsageError for anything it does not understand.
    static CommandLine parse(const std::vector<std::string>& arguments);
    static const char* usage();
};

} // namespace velmora::par1
