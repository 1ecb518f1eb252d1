#include "CommandLine.h"
#include "CreateCommand.h"
#include "Output.h"
#include "Par1Error.h"
#include "RepairCommand.h"
#include "SetCreator.h"
#include "TemporaryFileRegistry.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

using namespace velmora::par2;

// Exit statuses as par2cmdline's: 0 done or nothing to do, 1 repair possible (verify only),
// 2 repair not possible, 3 bad arguments, 4 not enough of the set to work with, 6 file
// errors, 7 an internal inconsistency, 8 out of memory.
int main(int argc, char** argv) {
    velmora::par1::TemporaryFileRegistry::removeFilesOnSignal();
    const Output output;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        const CommandLine line = CommandLine::parse(arguments);
        if (line.command == CommandLine::Command::Version) {
            output.line("par2SL version 0.1.0");
            return 0;
        }
        if (line.command == CommandLine::Command::Create)
            return CreateCommand(line, output).run();
        return RepairCommand(line, output).run();
    } catch (const UsageError& error) {
        output.error(std::string("par2SL: ") + error.what());
        output.error(CommandLine::usage());
        return 3;
    } catch (const CreateError& error) {
        output.error(std::string("Error: ") + error.what());
        return 3;
    } catch (const velmora::par1::IoError& error) {
        output.error(std::string("Error: ") + error.what());
        return 6;
    } catch (const std::bad_alloc&) {
        output.error("Error: out of memory");
        return 8;
    } catch (const std::exception& error) {
        output.error(std::string("Error: ") + error.what());
        return 7;
    }
}
