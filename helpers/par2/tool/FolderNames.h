#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::par2 {

// Rules for the names the tool reads, writes and lists.
class FolderNames {
public:
    static bool hasPar2Extension(std::string_view name);
    static bool hasControlCharacters(std::string_view name);
    // A relative name without NUL and without ".." parts: reading it stays in the folder.
    static bool readable(std::string_view name);
    // A plain name in the working folder itself: the only kind the tool writes or renames to.
    static bool writable(std::string_view name);
    // The regular files directly in a folder (links not followed), sorted, without hidden
    // files and names with control characters.
    static std::vector<std::string> regularFiles(const std::filesystem::path& folder);
    // path.1, path.2, ... : the first at which nothing exists.
    static std::filesystem::path freeAsideName(const std::filesystem::path& path);
    static bool exists(const std::filesystem::path& path);
};

} // namespace velmora::par2
