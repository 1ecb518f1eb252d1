#include "FolderNames.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace velmora::par2 {

bool FolderNames::hasPar2Extension(std::string_view name) {
    if (name.size() < 5)
        return false;
    std::string extension(name.substr(name.size() - 5));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".par2";
}

bool FolderNames::hasControlCharacters(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

bool FolderNames::readable(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool FolderNames::writable(std::string_view name) {
    return readable(name) && name.find('/') == std::string_view::npos && name != "." &&
           name != "..";
}

std::vector<std::string> FolderNames::regularFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr)
        return names;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (name.empty() || name[0] == '.' || hasControlCharacters(name) ||
            ::lstat((folder / name).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        names.push_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path FolderNames::freeAsideName(const std::filesystem::path& path) {
    for (unsigned n = 1;; ++n) {
        std::filesystem::path candidate = path;
        candidate += "." + std::to_string(n);
        if (!exists(candidate))
            return candidate;
    }
}

bool FolderNames::exists(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

} // namespace velmora::par2
