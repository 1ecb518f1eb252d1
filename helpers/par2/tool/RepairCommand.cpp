#include "RepairCommand.h"

#include "AtomicOutputFile.h"
#include "FileDigest.h"
#include "FolderNames.h"
#include "Par1Error.h"
#include "ParallelRunner.h"
#include "RecoveryMatrix.h"
#include "SafeRename.h"
#include "SliceCombiner.h"
#include "TemporaryFileRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sys/stat.h>

namespace velmora::par2 {
namespace {

constexpr std::size_t kCopyBuffer = 1024 * 1024;

bool scanFolderRequested() {
    const char* value = std::getenv("VLML_SCAN_FOLDER");
    return value != nullptr && std::string_view(value) == "1";
}

// Thrown when a repair cannot be finished; the files on disk are as they were.
class RepairFailure : public std::runtime_error {
public:
    RepairFailure(const std::string& message, int status)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

} // namespace

RepairCommand::RepairCommand(const CommandLine& line, const Output& output)
    : line_(line), output_(output), decoder_(StoredNameDecoder::fromEnvironment()) {}

int RepairCommand::run() {
    struct stat status {};
    if (::stat(line_.parFile.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        output_.error("failed to set the main par file");
        return 3;
    }
    loadParFiles();
    if (!set_.hasMainPacket()) {
        output_.error("Main packet not found.");
        return 4;
    }
    if (!describeTargets()) {
        output_.error("The descriptions of some files of the set are missing.");
        return 4;
    }
    std::uint64_t totalSize = 0;
    for (const Target& target : targets_)
        totalSize += target.description->length;
    output_.line();
    output_.line("There are " + std::to_string(targets_.size()) + " recoverable files and " +
                 std::to_string(set_.otherIds().size()) + " other files.");
    output_.line("The block size used was " + std::to_string(set_.sliceSize()) + " bytes.");
    output_.line("There are a total of " + std::to_string(index_->size()) + " data blocks.");
    output_.line("The total size of the data files is " + std::to_string(totalSize) + " bytes.");
    output_.line();
    output_.line("Verifying source files:");
    output_.line();
    verifyTargets();
    const bool allComplete = std::all_of(targets_.begin(), targets_.end(),
                                         [](const Target& target) { return target.complete; });
    if (!allComplete) {
        output_.line();
        output_.line("Scanning extra files:");
        output_.line();
        scanExtraFiles(extraFiles());
    }
    return summarise();
}

std::vector<std::string> RepairCommand::parFilesToLoad() const {
    std::vector<std::string> names{line_.parFile};
    const std::filesystem::path main(line_.parFile);
    std::string base = main.filename().string();
    if (FolderNames::hasPar2Extension(base))
        base.resize(base.size() - 5);
    for (const std::string& name : FolderNames::regularFiles(main.parent_path())) {
        if (name.starts_with(base + ".") && FolderNames::hasPar2Extension(name))
            names.push_back((main.parent_path() / name).string());
    }
    std::vector<std::string> named = line_.files;
    if (scanFolderRequested()) {
        const auto folder = FolderNames::regularFiles(".");
        named.insert(named.end(), folder.begin(), folder.end());
    }
    for (const std::string& name : named) {
        if (FolderNames::hasPar2Extension(name))
            names.push_back(name);
    }
    std::vector<std::string> unique;
    std::set<std::filesystem::path> seen;
    for (const std::string& name : names) {
        if (seen.insert(std::filesystem::path(name).lexically_normal()).second)
            unique.push_back(name);
    }
    return unique;
}

// The volumes are read and checked on all cores; their packets join the set in command order.
void RepairCommand::loadParFiles() {
    const std::vector<std::string> names = parFilesToLoad();
    par1::ParallelRunner::inOrder<std::vector<Packet>>(
        names.size(),
        [&](std::size_t job) {
            try {
                return RecoverySet::read(names[job]);
            } catch (const par1::IoError&) {
                // An unreadable volume adds nothing, like an empty one.
                return std::vector<Packet>{};
            }
        },
        [&](std::size_t job, std::vector<Packet>& packets) {
            output_.line("Loading " + Output::quoted(names[job]) + ".");
            const RecoverySet::LoadResult result = set_.add(std::move(packets), names[job]);
            if (result.newPackets == 0)
                output_.line("No new packets found");
            else if (result.newRecoveryBlocks > 0)
                output_.line("Loaded " + std::to_string(result.newPackets) +
                             " new packets including " + std::to_string(result.newRecoveryBlocks) +
                             " recovery blocks");
            else
                output_.line("Loaded " + std::to_string(result.newPackets) + " new packets");
        });
}

bool RepairCommand::describeTargets() {
    std::vector<const FileDescription*> descriptions;
    for (const Md5Digest& id : set_.recoverableIds()) {
        const FileDescription* description = set_.file(id);
        if (description == nullptr)
            return false;
        std::string name = description->unicodeName.value_or(
            decoder_.decode(description->storedName).value_or(description->storedName));
        // A file copied with its name's bytes as stored is there, not missing, when nothing
        // lies at the converted name.
        if (name != description->storedName && !FolderNames::exists(name) &&
            FolderNames::readable(description->storedName) &&
            FolderNames::exists(description->storedName))
            name = description->storedName;
        const bool writable = FolderNames::writable(name);
        Target target{description,
                      static_cast<std::uint32_t>(descriptions.size()),
                      std::move(name),
                      writable,
                      {},
                      false,
                      std::nullopt,
                      0};
        targets_.push_back(std::move(target));
        descriptions.push_back(description);
    }
    index_ = std::make_unique<SliceIndex>(descriptions, set_.sliceSize());
    available_.assign(index_->size(), std::nullopt);
    return true;
}

void RepairCommand::verifyTargets() {
    std::vector<Target*> order;
    for (Target& target : targets_)
        order.push_back(&target);
    std::sort(order.begin(), order.end(),
              [](const Target* a, const Target* b) { return a->name < b->name; });
    const FileAnalyzer analyzer(
        *index_,
        [this](std::uint64_t size) {
            return std::any_of(targets_.begin(), targets_.end(), [&](const Target& target) {
                return target.description->length == size;
            });
        },
        [this](std::uint64_t size, const Md5Digest& hash) {
            return std::any_of(targets_.begin(), targets_.end(), [&](const Target& target) {
                return target.description->length == size && target.description->hash == hash;
            });
        });
    par1::ParallelRunner::inOrder<FileAnalysis>(
        order.size(),
        [&](std::size_t job) {
            const Target& target = *order[job];
            return FolderNames::readable(target.name) ? analyzer.analyze(target.name)
                                                      : FileAnalysis{};
        },
        [&](std::size_t job, FileAnalysis& analysis) {
            order[job]->analysis = std::move(analysis);
            reportTarget(*order[job]);
        });
}

void RepairCommand::reportTarget(Target& target) {
    const FileAnalysis& analysis = target.analysis;
    const std::string name = Output::quoted(target.name);
    if (!analysis.exists) {
        output_.line("Target: " + name + " - missing.");
        return;
    }
    output_.line("Opening: " + name);
    const std::uint32_t first = index_->firstSliceOf(target.number);
    const std::uint32_t count = index_->sliceCountOf(target.number);
    if (analysis.wholeMatch && analysis.hash == target.description->hash) {
        target.complete = true;
        for (std::uint32_t i = 0; i < count; ++i)
            if (!available_[first + i])
                available_[first + i] = Location{target.name, std::uint64_t(i) * set_.sliceSize()};
        output_.line("Target: " + name + " - found.");
        return;
    }
    if (analysis.wholeMatch) {
        reportExtra(target.name, analysis);
        return;
    }
    std::set<std::uint32_t> own;
    for (const FoundSlice& found : analysis.slices) {
        if (index_->at(found.slice).file == target.number)
            own.insert(found.slice);
    }
    target.ownSlices = static_cast<std::uint32_t>(own.size());
    if (own.empty()) {
        reportExtra(target.name, analysis);
        return;
    }
    for (const FoundSlice& found : analysis.slices)
        if (!available_[found.slice])
            available_[found.slice] = Location{target.name, found.offset};
    output_.line("Target: " + name + " - damaged. Found " + std::to_string(own.size()) + " of " +
                 std::to_string(count) + " data blocks.");
}

std::vector<std::string> RepairCommand::extraFiles() const {
    std::vector<std::string> names = line_.files;
    if (scanFolderRequested()) {
        const auto folder = FolderNames::regularFiles(".");
        names.insert(names.end(), folder.begin(), folder.end());
    }
    std::set<std::string> excluded{line_.parFile};
    for (const Target& target : targets_)
        excluded.insert(target.name);
    std::vector<std::string> extras;
    for (const std::string& name : names) {
        if (FolderNames::hasPar2Extension(name) || !excluded.insert(name).second)
            continue;
        struct stat status {};
        if (::stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0) {
            output_.line("Skipping 0 byte file: " + Output::escaped(name));
            continue;
        }
        extras.push_back(name);
    }
    return extras;
}

void RepairCommand::scanExtraFiles(const std::vector<std::string>& extras) {
    auto wanted = [](const Target& target) { return !target.complete && !target.foundAs; };
    const FileAnalyzer analyzer(
        *index_,
        [this, wanted](std::uint64_t size) {
            return std::any_of(targets_.begin(), targets_.end(), [&](const Target& target) {
                return wanted(target) && target.description->length == size;
            });
        },
        [this, wanted](std::uint64_t size, const Md5Digest& hash) {
            return std::any_of(targets_.begin(), targets_.end(), [&](const Target& target) {
                return wanted(target) && target.description->length == size &&
                       target.description->hash == hash;
            });
        });
    par1::ParallelRunner::inOrder<FileAnalysis>(
        extras.size(), [&](std::size_t job) { return analyzer.analyze(extras[job]); },
        [&](std::size_t job, FileAnalysis& analysis) {
            if (!analysis.exists)
                return;
            output_.line("Opening: " + Output::quoted(extras[job]));
            reportExtra(extras[job], analysis);
        });
}

// A file that is not where the set expects it: a whole protected file under another name, or
// a source of single slices.
void RepairCommand::reportExtra(const std::string& name, const FileAnalysis& analysis) {
    const std::string quoted = Output::quoted(name);
    if (analysis.wholeMatch) {
        for (Target& target : targets_) {
            if (target.complete || target.foundAs || target.name == name ||
                target.description->length != analysis.size ||
                target.description->hash != *analysis.hash)
                continue;
            target.foundAs = name;
            const std::uint32_t first = index_->firstSliceOf(target.number);
            for (std::uint32_t i = 0; i < index_->sliceCountOf(target.number); ++i)
                if (!available_[first + i])
                    available_[first + i] = Location{name, std::uint64_t(i) * set_.sliceSize()};
            output_.line("File: " + quoted + " - is a match for " + Output::quoted(target.name) +
                         ".");
            return;
        }
    }
    std::vector<std::uint32_t> fileOrder;
    std::map<std::uint32_t, std::set<std::uint32_t>> fresh;
    // Like par2cmdline, every slice of an incomplete file counts, also one found before.
    for (const FoundSlice& found : analysis.slices) {
        const std::uint32_t file = index_->at(found.slice).file;
        if (targets_[file].complete)
            continue;
        if (!available_[found.slice])
            available_[found.slice] = Location{name, found.offset};
        if (!fresh.contains(file))
            fileOrder.push_back(file);
        fresh[file].insert(found.slice);
    }
    if (fileOrder.empty()) {
        output_.line("File: " + quoted + " - no data found.");
        return;
    }
    for (const std::uint32_t file : fileOrder)
        output_.line("File: " + quoted + " - found " + std::to_string(fresh[file].size()) + " of " +
                     std::to_string(index_->sliceCountOf(file)) + " data blocks from " +
                     Output::quoted(targets_[file].name) + ".");
}

std::uint32_t RepairCommand::availableCount() const {
    return static_cast<std::uint32_t>(std::count_if(available_.begin(), available_.end(),
                                                    [](const auto& l) { return l.has_value(); }));
}

int RepairCommand::summarise() {
    int wrongName = 0, missing = 0, damaged = 0, ok = 0;
    for (const Target& target : targets_) {
        if (target.complete)
            ++ok;
        else if (target.foundAs)
            ++wrongName;
        else if (target.ownSlices > 0)
            ++damaged;
        else
            ++missing;
    }
    output_.line();
    if (ok == static_cast<int>(targets_.size())) {
        output_.line("All files are correct, repair is not required.");
        return 0;
    }
    output_.line("Repair is required.");
    if (wrongName > 0)
        output_.line(std::to_string(wrongName) + " file(s) have the wrong name.");
    if (missing > 0)
        output_.line(std::to_string(missing) + " file(s) are missing.");
    if (damaged > 0)
        output_.line(std::to_string(damaged) + " file(s) exist but are damaged.");
    if (ok > 0)
        output_.line(std::to_string(ok) + " file(s) are ok.");
    const std::uint32_t available = availableCount();
    const auto missingBlocks = static_cast<std::uint32_t>(index_->size()) - available;
    const auto recovery = static_cast<std::uint32_t>(set_.recoverySlices().size());
    output_.line("You have " + std::to_string(available) + " out of " +
                 std::to_string(index_->size()) + " data blocks available.");
    output_.line("You have " + std::to_string(recovery) + " recovery blocks available.");
    if (missingBlocks > recovery) {
        output_.line("Repair is not possible.");
        output_.line("You need " + std::to_string(missingBlocks - recovery) +
                     " more recovery blocks to be able to repair.");
        return 2;
    }
    output_.line("Repair is possible.");
    if (recovery > missingBlocks)
        output_.line("You have an excess of " + std::to_string(recovery - missingBlocks) +
                     " recovery blocks.");
    if (missingBlocks > 0)
        output_.line(std::to_string(missingBlocks) + " recovery blocks will be used to repair.");
    else if (recovery > 0)
        output_.line("None of the recovery blocks will be used for the repair.");
    if (line_.command == CommandLine::Command::Verify)
        return 1;
    return repair(missingBlocks);
}

int RepairCommand::repair(std::uint32_t missingCount) {
    std::vector<Target*> rebuilt;
    for (Target& target : targets_) {
        if (target.complete || (target.foundAs && target.writable))
            continue;
        if (!target.writable) {
            output_.error("Refusing to write " + Output::quoted(target.name) +
                          ": the name leads outside the working folder.");
            return 6;
        }
        rebuilt.push_back(&target);
    }
    output_.line();
    std::uint64_t written = 0;
    try {
        if (!rebuilt.empty()) {
            if (missingCount > 0) {
                output_.line("Computing Reed Solomon matrix.");
                output_.line("Constructing: done.");
                output_.line("Solving: done.");
            }
            output_.line();
            rebuild(rebuilt, written);
        } else {
            output_.line();
            const auto guard = par1::TemporaryFileRegistry::hold();
            renameMisnamed();
        }
    } catch (const RepairFailure& failure) {
        output_.error(failure.what());
        return failure.status();
    }
    if (!rebuilt.empty()) {
        output_.write("Writing recovered data\r");
        output_.line("Wrote " + std::to_string(written) + " bytes to disk");
        output_.line();
        output_.line("Verifying repaired files:");
        output_.line();
        for (const Target* target : rebuilt) {
            output_.line("Opening: " + Output::quoted(target->name));
            output_.line("Target: " + Output::quoted(target->name) + " - found.");
        }
        output_.line();
    }
    output_.line("Repair complete.");
    return 0;
}

// Everything is read and written to temporary files before any file on disk changes: the
// slices found elsewhere may lie in the very files that get renamed or replaced.
void RepairCommand::rebuild(const std::vector<Target*>& rebuilt, std::uint64_t& written) {
    const std::uint64_t sliceSize = set_.sliceSize();
    std::map<std::filesystem::path, SourceFile> sourceFiles;
    auto sourceFile = [&](const std::filesystem::path& path) -> const SourceFile& {
        return sourceFiles.try_emplace(path, path).first->second;
    };
    std::map<std::uint32_t, par1::AtomicOutputFile> outputs;
    for (const Target* target : rebuilt)
        outputs.emplace(target->number, par1::AtomicOutputFile(target->name));

    std::vector<std::uint32_t> missing;
    std::vector<std::uint32_t> present;
    for (std::uint32_t slice = 0; slice < available_.size(); ++slice)
        (available_[slice] ? present : missing).push_back(slice);
    std::vector<SliceSource> sources;
    for (const std::uint32_t slice : present) {
        const Location& location = *available_[slice];
        const SourceFile& file = sourceFile(location.path);
        const std::uint64_t size = file.size();
        sources.push_back(
            {&file, location.offset,
             location.offset < size ? std::min(sliceSize, size - location.offset) : 0});
    }
    if (!missing.empty()) {
        const auto recovery = set_.recoverySlices();
        std::vector<std::uint32_t> exponents;
        std::optional<RecoveryMatrix> matrix;
        std::vector<std::uint32_t> all;
        for (const auto& entry : recovery)
            all.push_back(entry.first);
        // A singular choice of recovery slices is rare; another window of them solves it.
        for (std::size_t start = 0; !matrix && start + missing.size() <= all.size(); ++start) {
            exponents.assign(all.begin() + static_cast<std::ptrdiff_t>(start),
                             all.begin() + static_cast<std::ptrdiff_t>(start + missing.size()));
            matrix = RecoveryMatrix::solve(missing, present, exponents);
        }
        if (!matrix)
            throw RepairFailure("Repair is not possible: the recovery blocks do not solve the set.",
                                7);
        for (const std::uint32_t exponent : exponents) {
            const RecoverySliceLocation& location = recovery.at(exponent);
            sources.push_back({&sourceFile(location.path), location.offset, sliceSize});
        }
        ProgressLine progress(output_, "Repairing");
        SliceCombiner(sliceSize, line_.memoryBudget)
            .run(
                sources, missing.size(),
                [&](std::size_t output, std::size_t input) { return matrix->at(output, input); },
                [&](std::size_t output, std::uint64_t offset, std::span<const std::uint8_t> data) {
                    const SliceIndex::Slice& slice = index_->at(missing[output]);
                    const std::uint64_t length = targets_[slice.file].description->length;
                    const std::uint64_t at = std::uint64_t(slice.sliceInFile) * sliceSize + offset;
                    if (at < length)
                        outputs.at(slice.file)
                            .file()
                            .writeAt(at, data.first(static_cast<std::size_t>(
                                             std::min<std::uint64_t>(data.size(), length - at))));
                },
                [&](double fraction) { progress.update(fraction); });
        progress.update(1.0);
    }
    ProgressLine progress(output_, "Processing");
    std::vector<std::uint8_t> buffer(kCopyBuffer);
    std::uint64_t total = 0, done = 0;
    for (const Target* target : rebuilt)
        total += target->description->length;
    for (const Target* target : rebuilt) {
        const std::uint64_t length = target->description->length;
        const std::uint32_t first = index_->firstSliceOf(target->number);
        for (std::uint32_t i = 0; i < index_->sliceCountOf(target->number); ++i) {
            if (!available_[first + i])
                continue;
            const Location& location = *available_[first + i];
            const SourceFile& source = sourceFile(location.path);
            const std::uint64_t begin = std::uint64_t(i) * sliceSize;
            const std::uint64_t size = std::min(sliceSize, length - begin);
            for (std::uint64_t copied = 0; copied < size;) {
                const auto part =
                    static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - copied));
                const std::span<std::uint8_t> chunk(buffer.data(), part);
                std::fill(chunk.begin(), chunk.end(), 0);
                source.readAt(location.offset + copied, chunk);
                outputs.at(target->number).file().writeAt(begin + copied, chunk);
                copied += part;
            }
            done += size;
            if (missing.empty() && total > 0)
                progress.update(double(done) / double(total));
        }
    }
    for (const Target* target : rebuilt) {
        const par1::FileHandle& file = outputs.at(target->number).file();
        if (file.size() != target->description->length ||
            par1::FileDigest::ofFile(file) != target->description->hash)
            throw RepairFailure("Repair failed: the rebuilt " + Output::quoted(target->name) +
                                    " does not match its checksum.",
                                7);
        written += target->description->length;
    }
    // Under the registry's lock an interrupt waits until every file is in place.
    const auto guard = par1::TemporaryFileRegistry::hold();
    renameMisnamed();
    for (const Target* target : rebuilt) {
        if (FolderNames::exists(target->name))
            par1::SafeRename::withoutReplacing(target->name,
                                               FolderNames::freeAsideName(target->name));
        outputs.at(target->number).commit(false);
    }
}

// Misnamed files take their names; whatever lay at a name is kept beside it as NAME.1.
void RepairCommand::renameMisnamed() {
    for (const Target& target : targets_) {
        if (target.complete || !target.foundAs || !target.writable)
            continue;
        if (FolderNames::exists(target.name))
            par1::SafeRename::withoutReplacing(target.name,
                                               FolderNames::freeAsideName(target.name));
        par1::SafeRename::withoutReplacing(*target.foundAs, target.name);
    }
}

} // namespace velmora::par2
