#include "SafeRename.h"

#include "NameCodec.h"
#include "Par1Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace velmora::par1 {
namespace {

[[noreturn]] void fail(const std::filesystem::path& from, const std::filesystem::path& to,
                       int error) {
    throw IoError("cannot rename " + NameCodec::printable(from.filename().string()) + " to " +
                  NameCodec::printable(to.filename().string()) + ": " + std::strerror(error));
}

// For file systems without RENAME_NOREPLACE: a hard link fails on an existing target too.
bool linkThenUnlink(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST)
            return false;
        fail(from, to, errno);
    }
    ::unlink(from.c_str());
    return true;
}

} // namespace

bool SafeRename::withoutReplacing(const std::filesystem::path& from,
                                  const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno == EINVAL || errno == ENOSYS)
        return linkThenUnlink(from, to);
    fail(from, to, errno);
}

void SafeRename::replacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        fail(from, to, errno);
}

} // namespace velmora::par1
