#include "CreateCommand.h"

#include "FileNameRules.h"
#include "NameCodec.h"
#include "Par1Constants.h"
#include "Par1SetWriter.h"
#include "ProgressBar.h"
#include "SetNames.h"

#include <sys/stat.h>

namespace velmora::par1 {
namespace {

std::string quoted(const std::string& name) {
    return "\"" + FileNameRules::forMessage(name) + "\"";
}

bool isRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

CreateCommand::CreateCommand(const CommandLine& line, const Reporter& reporter)
    : line_(line), reporter_(reporter) {
    const std::filesystem::path parPath(line.parFile);
    folder_ = parPath.has_parent_path() ? parPath.parent_path() : std::filesystem::path(".");
    indexName_ = parPath.filename().string();
    for (const std::string& argument : line.files)
        files_.push_back(nameInFolder(argument));
}

std::string CreateCommand::nameInFolder(const std::string& argument) const {
    const std::filesystem::path path(argument);
    if (!path.has_parent_path() || !path.has_filename())
        return argument;
    std::error_code failed;
    const auto parent = std::filesystem::canonical(path.parent_path(), failed);
    if (failed || parent != std::filesystem::canonical(folder_, failed) || failed)
        return argument;
    return path.filename().string();
}

int CreateCommand::run() {
    if (const auto reason = refusal()) {
        reporter_.line(*reason);
        return 2;
    }
    std::vector<SourceFile> sources;
    for (const std::string& name : files_) {
        sources.push_back({name, true});
        reporter_.fileLine(name, "OK");
    }
    Par1SetWriter writer(folder_, indexName_, std::move(sources), line_.volumeCount);
    reporter_.line("Creating PAR volumes:");
    ProgressBar bar(reporter_);
    try {
        writer.write(line_.overwrite, [&](double fraction) { bar.update(fraction); });
    } catch (const std::runtime_error& error) {
        bar.finish();
        reporter_.line(std::string("Error: ") + error.what());
        reporter_.line("");
        reporter_.line("Errors occurred.");
        return 1;
    }
    bar.finish();
    for (const std::string& name : writer.outputNames())
        reporter_.fileLine(name, "OK");
    return 0;
}

std::optional<std::string> CreateCommand::refusal() const {
    if (const auto problem = FileNameRules::problem(indexName_);
        problem || !SetNames::isIndexName(indexName_))
        return "Cannot create " + quoted(indexName_) + ": the name of a set must end in .par";
    if (files_.size() > kMaxParityFiles)
        return "Cannot create " + quoted(indexName_) + ": a set holds at most 255 files";
    for (const std::string& name : files_) {
        if (auto reason = refusalOfFile(name))
            return "Cannot add " + quoted(name) + ": " + *reason;
    }
    if (const auto twice = FileNameRules::duplicate(files_, line_.caseSensitive))
        return "Cannot add " + quoted(*twice) + ": the file is named twice";
    Par1SetWriter names(folder_, indexName_, {}, line_.volumeCount);
    for (const std::string& output : names.outputNames()) {
        if (!line_.overwrite &&
            std::filesystem::exists(std::filesystem::symlink_status(folder_ / output)))
            return "Cannot create " + quoted(output) + ": it already exists (-O overwrites it)";
    }
    return std::nullopt;
}

std::optional<std::string> CreateCommand::refusalOfFile(const std::string& name) const {
    if (auto problem = FileNameRules::problem(name))
        return problem;
    try {
        NameCodec::toUtf16le(name);
    } catch (const NameCodecError& error) {
        return std::string(error.what());
    }
    if (FileNameRules::same(name, indexName_, line_.caseSensitive) ||
        SetNames::volumeNumberOf(name, indexName_, line_.caseSensitive))
        return "it is a file of the set being created";
    if (!isRegularFile(folder_ / name))
        return std::filesystem::exists(folder_ / name) ? "it is not a regular file"
                                                       : "no such file";
    return std::nullopt;
}

} // namespace velmora::par1
