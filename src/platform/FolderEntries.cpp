#include "FolderEntries.h"

#include "platform/FileNames.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Some file systems leave the kind unknown; only those entries cost a stat.
bool isRegularFile(int folderDescriptor, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_REG;
    struct stat status {};
    return ::fstatat(folderDescriptor, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(status.st_mode);
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
        if (!isDotOrDotDot(entry->d_name))
            entries.append(
                {FileNames::decode(QByteArray(entry->d_name)), isRegularFile(descriptor, *entry)});
    }
    ::closedir(directory);
    return entries;
}
