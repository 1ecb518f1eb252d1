#include "CommandLine.h"

#include "Par1Constants.h"

#include <algorithm>

namespace velmora::par1 {
namespace {

CommandLine::Command commandFrom(const std::string& word) {
    if (word == "r")
        return CommandLine::Command::Restore;
    if (word == "c")
        return CommandLine::Command::Check;
    if (word == "a")
        return CommandLine::Command::Create;
    throw UsageError("unknown command \"" + word + "\"");
}

unsigned volumeCountFrom(const std::string& digits) {
    const bool numeric =
        !digits.empty() && digits.size() <= 3 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!numeric || std::stoul(digits) > kMaxVolumes)
        throw UsageError("-n needs a number of recovery volumes from 0 to 99");
    return static_cast<unsigned>(std::stoul(digits));
}

void applyOption(CommandLine& line, const std::string& option) {
    if (option.rfind("-n", 0) == 0)
        line.volumeCount = volumeCountFrom(option.substr(2));
    else if (option == "-f")
        line.fixNames = true;
    else if (option == "-m")
        line.moveDamaged = true;
    else if (option == "+C")
        line.caseSensitive = true;
    else if (option == "-C")
        line.caseSensitive = false;
    else if (option == "-O")
        line.overwrite = true;
    else
        throw UsageError("unknown option \"" + option + "\"");
}

bool isOption(const std::string& argument) {
    return argument.size() > 1 && (argument[0] == '-' || argument[0] == '+');
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw UsageError("no command given");
    CommandLine line;
    line.command = commandFrom(arguments[0]);
    std::size_t next = 1;
    for (; next < arguments.size() && isOption(arguments[next]); ++next) {
        if (arguments[next] == "--") {
            ++next;
            break;
        }
        applyOption(line, arguments[next]);
    }
    if (next == arguments.size())
        throw UsageError("no PAR file given");
    line.parFile = arguments[next];
    line.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next + 1), arguments.end());
    if (line.command == Command::Create && line.files.empty())
        throw UsageError("no files to add to the set");
    if (line.command != Command::Create && !line.files.empty())
        throw UsageError("files can only be named when creating a set");
    return line;
}

const char* CommandLine::usage() {
    return "usage: par r|c [-f] [-m] [+C|-C] [-O] -- SET.par\n"
           "       par a [-nN] [-O] [+C|-C] -- SET.par FILES...\n"
           "  r  check the files of a set and restore what can be restored\n"
           "  c  check the files of a set only\n"
           "  a  create a set with N recovery volumes (0 to 99, default 1)\n"
           "  -f rename misnamed files found by size and MD5, -m keep damaged files as NAME.bad,\n"
           "  +C/-C match names with/without case, -O overwrite existing volumes";
}

} // namespace velmora::par1
