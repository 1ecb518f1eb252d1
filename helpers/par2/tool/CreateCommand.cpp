#include "CreateCommand.h"

#include "FolderNames.h"
#include "SetCreator.h"

#include <sys/stat.h>

namespace velmora::par2 {

int CreateCommand::run() {
    std::vector<std::string> files;
    for (const std::string& name : line_.files) {
        if (!FolderNames::readable(name)) {
            output_.error("Refusing " + Output::quoted(name) +
                          ": only files in the working folder can be protected.");
            return 3;
        }
        struct stat status {};
        if (::stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0) {
            output_.line("Skipping 0 byte file: " + Output::escaped(name));
            continue;
        }
        files.push_back(name);
    }
    if (files.empty()) {
        output_.error("You must specify a list of files when creating.");
        return 3;
    }
    SetCreator::Options options;
    options.blockSize = line_.blockSize;
    options.redundancy = line_.redundancy;
    options.limitVolumeSize = line_.limitVolumeSize;
    options.memoryBudget = line_.memoryBudget;
    SetCreator creator(line_.parFile, files, options);
    const SetCreator::Plan& plan = creator.plan();
    for (const auto& name : creator.outputNames()) {
        if (FolderNames::exists(name)) {
            output_.error("Could not create " + Output::quoted(name.string()) +
                          ": File already exists.");
            return 6;
        }
    }
    output_.line();
    output_.line("Block size: " + std::to_string(plan.blockSize));
    output_.line("Source file count: " + std::to_string(files.size()));
    output_.line("Source block count: " + std::to_string(plan.sourceBlocks));
    output_.line("Recovery block count: " + std::to_string(plan.recoveryBlocks));
    output_.line("Recovery file count: " + std::to_string(plan.volumes.size()));
    output_.line();
    for (const std::string& name : files)
        output_.line("Opening: " + Output::escaped(name));
    output_.line("Computing Reed Solomon matrix.");
    ProgressLine progress(output_, "Processing");
    creator.create([&](double fraction) { progress.update(fraction); });
    progress.update(1.0);
    output_.line();
    output_.line("Writing recovery packets");
    output_.line("Writing verification packets");
    output_.line("Done");
    return 0;
}

} // namespace velmora::par2
