#include "CheckCommand.h"

#include "FileDigest.h"
#include "FileNameRules.h"
#include "FileRestorer.h"
#include "NameCodec.h"
#include "Par1Error.h"
#include "Par1FileList.h"
#include "ParallelRunner.h"
#include "ProgressBar.h"
#include "RecoveryPlan.h"
#include "SafeRename.h"
#include "SetNames.h"
#include "VolumeCollector.h"

#include <algorithm>

namespace velmora::par1 {
namespace {

constexpr int kMaxBadSuffix = 1000;

} // namespace

CheckCommand::CheckCommand(const CommandLine& line, const Reporter& reporter)
    : line_(line), reporter_(reporter) {
    const std::filesystem::path parPath(line.parFile);
    folder_ = parPath.has_parent_path() ? parPath.parent_path() : std::filesystem::path(".");
    indexName_ = parPath.filename().string();
}

CheckCommand::~CheckCommand() = default;

int CheckCommand::run() {
    listing_ = std::make_unique<FolderListing>(folder_);
    if (!loadSet())
        return 2;
    checkListedFiles();
    reporter_.line("Looking for PXX volumes:");
    volumes_ = std::make_unique<VolumeCollector>(*listing_, indexName_, setHeader_, blockSize_,
                                                 line_.caseSensitive, reporter_);
    volumes_->collectByName();

    const std::vector<std::size_t> damaged = damagedParityPositions();
    if (damaged.empty()) {
        reportClosingLine(false);
        return everythingIntact() ? 0 : 1;
    }
    auto plan = RecoveryPlan::choose(parityFiles_.size(), damaged, volumes_->volumeNumbers());
    if (!plan) {
        volumes_->collectAdditional(
            [this](const std::string& name) { return isSetFileOrListed(name); });
        plan = RecoveryPlan::choose(parityFiles_.size(), damaged, volumes_->volumeNumbers());
    }
    if (!plan) {
        reportTooManyMissing(damaged, volumes_->volumes().size() >= damaged.size());
        reportClosingLine(true);
        return 1;
    }
    for (std::size_t position : damaged)
        reporter_.fileLine(files_[parityFiles_[position]].entry->name, "can be restored");
    if (line_.command == CommandLine::Command::Restore)
        restore(*plan, damaged);
    reportClosingLine(true);
    return everythingIntact() ? 0 : 1;
}

bool CheckCommand::loadSet() {
    try {
        const Par1VolumeFile index = Par1VolumeFile::open(folder_ / indexName_);
        setHeader_ = index.header();
        entries_ = index.entries();
        if (!index.controlHashMatches() && !adoptIntactVolumeList())
            throw Par1FormatError(Par1FormatError::Kind::Malformed, indexName_ + " is damaged");
        Par1FileList::validate(entries_, line_.caseSensitive);
    } catch (const Par1FormatError& error) {
        if (error.kind() == Par1FormatError::Kind::NotPar)
            reporter_.line("Not a PAR file");
        else
            reporter_.line(std::string("Error reading PAR file: ") + error.what());
        return false;
    } catch (const IoError& error) {
        reporter_.line(std::string("Error reading PAR file: ") + error.what());
        return false;
    }
    for (const Par1FileEntry& entry : entries_) {
        if (entry.inParity()) {
            parityFiles_.push_back(files_.size());
            blockSize_ = std::max(blockSize_, entry.size);
        }
        files_.push_back({&entry, {}, State::Missing});
    }
    return true;
}

// A damaged index file still names its set; any intact volume carries the same file list.
bool CheckCommand::adoptIntactVolumeList() {
    for (const FolderListing::Item& item : listing_->items()) {
        if (!item.regular || !SetNames::volumeNumberOf(item.name, indexName_, line_.caseSensitive))
            continue;
        try {
            Par1VolumeFile volume = Par1VolumeFile::open(folder_ / item.name);
            if (!volume.controlHashMatches())
                continue;
            setHeader_ = volume.header();
            entries_ = volume.entries();
            reporter_.line(indexName_ + " is damaged; its file list is read from " + item.name);
            return true;
        } catch (const std::runtime_error&) {
            continue;
        }
    }
    return false;
}

void CheckCommand::checkListedFiles() {
    std::vector<std::optional<FolderListing::Item>> found;
    for (ListedFile& file : files_) {
        const FolderListing::Item* item = listing_->find(file.entry->name, line_.caseSensitive);
        found.push_back(item ? std::optional(*item) : std::nullopt);
        file.diskName = item ? item->name : std::string();
    }
    ParallelRunner::inOrder<State>(
        files_.size(), [&](std::size_t i) { return stateOf(files_[i], found[i]); },
        [&](std::size_t i, State& state) {
            files_[i].state = state;
            report(files_[i]);
        });
}

CheckCommand::State CheckCommand::stateOf(const ListedFile& file,
                                          const std::optional<FolderListing::Item>& found) const {
    if (!found)
        return State::Missing;
    if (!found->regular || found->size != file.entry->size)
        return State::Damaged;
    try {
        const FileHandle handle = FileHandle::openForReading(folder_ / found->name);
        return FileDigest::ofRange(handle, 0, file.entry->size) == file.entry->fullHash &&
                       handle.size() == file.entry->size
                   ? State::Intact
                   : State::Damaged;
    } catch (const IoError&) {
        return State::Damaged;
    }
}

void CheckCommand::report(ListedFile& file) {
    const std::string& name = file.entry->name;
    if (!file.entry->inParity())
        reporter_.fileLine(name, "not in PAR volume set");
    if (file.state == State::Missing && line_.fixNames &&
        line_.command == CommandLine::Command::Restore && findUnderOtherName(file))
        return;
    switch (file.state) {
    case State::Intact:
        reporter_.fileLine(name, "OK");
        break;
    case State::Damaged:
        reporter_.fileLine(name, "CORRUPT");
        break;
    case State::Missing:
        reporter_.fileLine(name, "NOT FOUND");
        break;
    }
}

bool CheckCommand::findUnderOtherName(ListedFile& file) {
    const std::string& name = file.entry->name;
    const std::optional<std::string> candidate = matchingCandidate(*file.entry);
    if (!candidate)
        return false;
    reporter_.line("    Rename: " + NameCodec::printable(*candidate) + " -> " + name);
    try {
        if (!SafeRename::withoutReplacing(folder_ / *candidate, folder_ / name))
            throw IoError(name + " appeared while it was being fixed");
    } catch (const IoError& error) {
        reporter_.line(std::string("Error: ") + error.what());
        errorsOccurred_ = true;
        return false;
    }
    listing_->renamed(*candidate, name);
    candidateHashes_.erase(*candidate);
    file.diskName = name;
    file.state = State::Intact;
    reporter_.fileLine(name, "FIXED");
    return true;
}

std::optional<std::string> CheckCommand::matchingCandidate(const Par1FileEntry& entry) {
    for (const FolderListing::Item& item : listing_->items()) {
        if (!item.regular || item.size != entry.size || isSetFileOrListed(item.name))
            continue;
        try {
            CandidateHashes& hashes = candidateHashes_[item.name];
            const FileHandle handle = FileHandle::openForReading(folder_ / item.name);
            if (!hashes.hash16k)
                hashes.hash16k = FileDigest::ofRange(
                    handle, 0, std::min<std::uint64_t>(item.size, kHash16kSize));
            if (*hashes.hash16k != entry.hash16k)
                continue;
            if (!hashes.full)
                hashes.full = FileDigest::ofRange(handle, 0, item.size);
            if (*hashes.full == entry.fullHash)
                return item.name;
        } catch (const IoError&) {
            continue;
        }
    }
    return std::nullopt;
}

bool CheckCommand::isSetFileOrListed(const std::string& name) const {
    if (FileNameRules::same(name, indexName_, line_.caseSensitive) ||
        SetNames::volumeNumberOf(name, indexName_, line_.caseSensitive))
        return true;
    return std::any_of(files_.begin(), files_.end(), [&](const ListedFile& file) {
        return FileNameRules::same(name, file.entry->name, line_.caseSensitive);
    });
}

std::vector<std::size_t> CheckCommand::damagedParityPositions() const {
    std::vector<std::size_t> damaged;
    for (std::size_t position = 0; position < parityFiles_.size(); ++position) {
        if (files_[parityFiles_[position]].state != State::Intact)
            damaged.push_back(position);
    }
    return damaged;
}

void CheckCommand::restore(const RecoveryPlan& plan, const std::vector<std::size_t>& damaged) {
    reporter_.line("Restoring:");
    ProgressBar bar(reporter_);
    std::vector<RestoredFile> restored;
    try {
        std::vector<FileHandle> handles;
        handles.reserve(plan.intactFiles().size());
        std::vector<FileRestorer::Source> intact;
        for (std::size_t position : plan.intactFiles()) {
            const ListedFile& file = files_[parityFiles_[position]];
            handles.push_back(FileHandle::openForReading(folder_ / file.diskName));
            intact.push_back({&handles.back(), 0, file.entry->size});
        }
        std::vector<FileRestorer::Source> volumes;
        for (std::uint64_t number : plan.volumes()) {
            for (const FoundVolume& volume : volumes_->volumes()) {
                if (volume.file.header().volumeNumber == number)
                    volumes.push_back(
                        {&volume.file.file(), volume.file.header().dataOffset, blockSize_});
            }
        }
        std::vector<const Par1FileEntry*> missing;
        std::vector<std::filesystem::path> targets;
        for (std::size_t position : damaged) {
            const ListedFile& file = files_[parityFiles_[position]];
            missing.push_back(file.entry);
            targets.push_back(folder_ / (file.diskName.empty() ? file.entry->name : file.diskName));
        }
        FileRestorer restorer(plan, std::move(intact), std::move(volumes), blockSize_);
        restored = restorer.run(missing, targets, [&](double fraction) { bar.update(fraction); });
    } catch (const std::runtime_error& error) {
        bar.finish();
        reporter_.line(std::string("Error: ") + error.what());
        errorsOccurred_ = true;
        for (std::size_t position : damaged)
            reporter_.fileLine(files_[parityFiles_[position]].entry->name, "NOT RESTORED");
        return;
    }
    bar.finish();
    for (std::size_t r = 0; r < damaged.size(); ++r)
        finishRestoredFile(files_[parityFiles_[damaged[r]]], restored[r]);
}

void CheckCommand::finishRestoredFile(ListedFile& file, RestoredFile& restored) {
    const std::string& name = file.entry->name;
    if (!restored.matchesListedHash) {
        reporter_.fileLine(name, "NOT RESTORED");
        return;
    }
    try {
        if (line_.moveDamaged && !file.diskName.empty()) {
            const std::string aside = moveAside(file.diskName);
            reporter_.line("    Rename: " + file.diskName + " -> " + aside);
        }
        restored.output.commit(true);
    } catch (const IoError& error) {
        reporter_.line(std::string("Error: ") + error.what());
        errorsOccurred_ = true;
        reporter_.fileLine(name, "NOT RESTORED");
        return;
    }
    file.diskName = restored.output.finalPath().filename().string();
    file.state = State::Intact;
    reporter_.fileLine(name, "RECOVERED");
}

std::string CheckCommand::moveAside(const std::string& name) {
    for (int number = 0; number < kMaxBadSuffix; ++number) {
        const std::string aside = name + ".bad" + (number == 0 ? "" : "." + std::to_string(number));
        if (SafeRename::withoutReplacing(folder_ / name, folder_ / aside))
            return aside;
    }
    throw IoError("no free name to move " + name + " aside");
}

void CheckCommand::reportTooManyMissing(const std::vector<std::size_t>& damaged,
                                        bool volumesSufficeInNumber) {
    if (volumesSufficeInNumber)
        reporter_.line("The recovery volumes found cannot restore these files together.");
    reporter_.line("");
    reporter_.line("Too many missing files:");
    for (std::size_t position : damaged)
        reporter_.line(files_[parityFiles_[position]].entry->name);
}

void CheckCommand::reportClosingLine(bool restoreWasNeeded) const {
    const bool outsideParityDamaged =
        std::any_of(files_.begin(), files_.end(), [](const ListedFile& file) {
            return !file.entry->inParity() && file.state != State::Intact;
        });
    const char* closing = nullptr;
    if (errorsOccurred_)
        closing = "Errors occurred.";
    else if (outsideParityDamaged)
        closing = "All recoverable files found";
    else if (!restoreWasNeeded)
        closing = "All files found";
    if (closing == nullptr)
        return;
    reporter_.line("");
    reporter_.line(closing);
}

bool CheckCommand::everythingIntact() const {
    return std::all_of(files_.begin(), files_.end(),
                       [](const ListedFile& file) { return file.state == State::Intact; });
}

} // namespace velmora::par1
