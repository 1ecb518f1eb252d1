#include "CommandLine.h"

#include "Par2Format.h"

#include <charconv>

namespace velmora::par2 {
namespace {

std::uint64_t number(const std::string& argument, std::size_t prefix) {
    std::uint64_t value = 0;
    const char* begin = argument.data() + prefix;
    const char* end = argument.data() + argument.size();
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end)
        throw UsageError("invalid option: " + argument);
    return value;
}

CommandLine::Command commandNamed(const std::string& name) {
    if (name == "-V" || name == "--version")
        return CommandLine::Command::Version;
    if (name == "v" || name == "verify")
        return CommandLine::Command::Verify;
    if (name == "r" || name == "repair")
        return CommandLine::Command::Repair;
    if (name == "c" || name == "create")
        return CommandLine::Command::Create;
    throw UsageError("unknown command: " + name);
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw UsageError("no command given");
    CommandLine line;
    line.memoryBudget = kDefaultMemoryBudget;
    line.command = commandNamed(arguments[0]);
    if (line.command == Command::Version)
        return line;
    std::size_t next = 1;
    for (; next < arguments.size(); ++next) {
        const std::string& argument = arguments[next];
        if (argument == "--") {
            ++next;
            break;
        }
        if (argument.size() < 2 || argument[0] != '-')
            break;
        if (argument[1] == 's' && line.command == Command::Create) {
            line.blockSize = number(argument, 2);
            if (*line.blockSize == 0 || *line.blockSize % 4 != 0)
                throw UsageError("the block size must be a positive multiple of 4");
        } else if (argument[1] == 'r' && line.command == Command::Create) {
            line.redundancy = static_cast<unsigned>(number(argument, 2));
            if (line.redundancy > 100)
                throw UsageError("the redundancy must be at most 100");
        } else if (argument == "-l" && line.command == Command::Create) {
            line.limitVolumeSize = true;
        } else if (argument[1] == 'm') {
            line.memoryBudget = std::max<std::uint64_t>(number(argument, 2), 1) * 1024 * 1024;
        } else {
            throw UsageError("invalid option: " + argument);
        }
    }
    if (next == arguments.size())
        throw UsageError("no PAR 2 file given");
    line.parFile = arguments[next];
    line.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next) + 1, arguments.end());
    if (line.command == Command::Create && line.files.empty())
        throw UsageError("no files to protect");
    return line;
}

const char* CommandLine::usage() {
    return "Usage:\n"
           "  par2SL v [-m<MiB>] -- PAR2FILE [FILES...]   verify\n"
           "  par2SL r [-m<MiB>] -- PAR2FILE [FILES...]   verify and repair\n"
           "  par2SL c [-s<bytes>] [-r<percent>] [-l] [-m<MiB>] -- PAR2FILE FILES...   create";
}

} // namespace velmora::par2
