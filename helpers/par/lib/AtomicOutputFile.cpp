#include "AtomicOutputFile.h"

#include "NameCodec.h"
#include "Par1Error.h"
#include "SafeRename.h"
#include "TemporaryFileRegistry.h"

#include <random>
#include <unistd.h>
#include <utility>

namespace velmora::par1 {
namespace {

std::filesystem::path temporaryNameFor(const std::filesystem::path& finalPath) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<unsigned> digit(0, 35);
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[digit(generator)];
    return finalPath.parent_path() / ("." + finalPath.filename().string() + ".part-" + suffix);
}

FileHandle createTemporary(const std::filesystem::path& finalPath, std::filesystem::path& chosen) {
    for (int attempt = 0;; ++attempt) {
        chosen = temporaryNameFor(finalPath);
        try {
            return FileHandle::createExclusive(chosen);
        } catch (const IoError&) {
            if (attempt == 10 || !std::filesystem::exists(chosen))
                throw;
        }
    }
}

} // namespace

AtomicOutputFile::AtomicOutputFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)) {
    const auto guard = TemporaryFileRegistry::hold();
    file_.emplace(createTemporary(finalPath_, temporaryPath_));
    TemporaryFileRegistry::add(temporaryPath_);
    registered_ = true;
}

AtomicOutputFile::AtomicOutputFile(AtomicOutputFile&& other) noexcept
    : finalPath_(std::move(other.finalPath_)), temporaryPath_(std::move(other.temporaryPath_)),
      file_(std::move(other.file_)), committed_(std::exchange(other.committed_, true)),
      registered_(std::exchange(other.registered_, false)) {}

AtomicOutputFile::~AtomicOutputFile() {
    if (!committed_)
        ::unlink(temporaryPath_.c_str());
    if (registered_)
        TemporaryFileRegistry::remove(temporaryPath_);
}

void AtomicOutputFile::commit(bool replaceExisting) {
    file_->close();
    if (replaceExisting)
        SafeRename::replacing(temporaryPath_, finalPath_);
    else if (!SafeRename::withoutReplacing(temporaryPath_, finalPath_))
        throw IoError(NameCodec::printable(finalPath_.filename().string()) + " already exists");
    committed_ = true;
    TemporaryFileRegistry::remove(temporaryPath_);
    registered_ = false;
}

} // namespace velmora::par1
