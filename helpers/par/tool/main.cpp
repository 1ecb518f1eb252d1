#include "CheckCommand.h"
#include "CommandLine.h"
#include "CreateCommand.h"
#include "Reporter.h"
#include "TemporaryFileRegistry.h"

#include <exception>
#include <string>
#include <vector>

using namespace velmora::par1;

int main(int argc, char** argv) {
    TemporaryFileRegistry::removeFilesOnSignal();
    const Reporter reporter;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        const CommandLine line = CommandLine::parse(arguments);
        if (line.command == CommandLine::Command::Create)
            return CreateCommand(line, reporter).run();
        return CheckCommand(line, reporter).run();
    } catch (const UsageError& error) {
        reporter.line(std::string("par: ") + error.what());
        reporter.line(CommandLine::usage());
        return 2;
    } catch (const std::exception& error) {
        reporter.line(std::string("Error: ") + error.what());
        reporter.line("");
        reporter.line("Errors occurred.");
        return 1;
    }
}
