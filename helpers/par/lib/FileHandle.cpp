#include "FileHandle.h"

#include "NameCodec.h"
#include "Par1Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmora::par1 {
namespace {

[[noreturn]] void fail(const char* action, const std::filesystem::path& path, int error) {
    throw IoError(std::string(action) + " " + NameCodec::printable(path.filename().string()) +
                  ": " + std::strerror(error));
}

} // namespace

FileHandle::FileHandle(int descriptor, std::filesystem::path path)
    : descriptor_(descriptor), path_(std::move(path)) {}

FileHandle FileHandle::openForReading(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        fail("cannot open", path, errno);
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    return FileHandle(descriptor, path);
}

FileHandle FileHandle::createExclusive(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        fail("cannot create", path, errno);
    return FileHandle(descriptor, path);
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), path_(std::move(other.path_)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    std::swap(path_, other.path_);
    return *this;
}

FileHandle::~FileHandle() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void FileHandle::close() {
    const int descriptor = std::exchange(descriptor_, -1);
    if (descriptor >= 0 && ::close(descriptor) != 0)
        fail("cannot write", path_, errno);
}

std::uint64_t FileHandle::size() const {
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0)
        fail("cannot read", path_, errno);
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t FileHandle::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(descriptor_, buffer.data() + done, buffer.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail("cannot read", path_, errno);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void FileHandle::readExactly(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    if (readAt(offset, buffer) != buffer.size())
        throw IoError("cannot read " + NameCodec::printable(path_.filename().string()) +
                      ": the file is shorter than expected");
}

void FileHandle::writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) const {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = ::pwrite(descriptor_, data.data() + done, data.size() - done,
                                     static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            fail("cannot write", path_, errno);
        done += static_cast<std::size_t>(put);
    }
}

} // namespace velmora::par1
