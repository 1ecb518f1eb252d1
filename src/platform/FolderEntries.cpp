#include "FolderEntries.h"

#include "platform/FileNames.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The entry's type as stat gives it, links not followed. Some file systems
// leave the type unknown; only those entries cost a stat.
mode_t typeOf(int folderDescriptor, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN)
        return DTTOIF(entry.d_type);
    struct stat status {};
    if (::fstatat(folderDescriptor, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    return status.st_mode & S_IFMT;
}

bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace

QList<FolderEntries::Entry> FolderEntries::read(const QString& folder) {
    QList<Entry> entries;
    DIR* directory = ::opendir(FileNames::encode(folder).constData());
    if (directory == nullptr)
        return entries;
    const int descriptor = ::dirfd(directory);
    while (const dirent* entry = ::readdir(directory)) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        const mode_t type = typeOf(descriptor, *entry);
        entries.append(
            {FileNames::decode(QByteArray(entry->d_name)), S_ISREG(type), S_ISDIR(type)});
    }
    ::closedir(directory);
    return entries;
}
