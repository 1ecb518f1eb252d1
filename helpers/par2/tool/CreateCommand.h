#pragma once

#include "CommandLine.h"
#include "Output.h"

namespace velmora::par2 {

// "c": a new recovery set for the files named, reported as par2cmdline reports it.
class CreateCommand {
public:
    CreateCommand(const CommandLine& line, const Output& output) : line_(line), output_(output) {}
    int run();

private:
    const CommandLine& line_;
    const Output& output_;
};

} // namespace velmora::par2
