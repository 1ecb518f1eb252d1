#pragma once

#include <filesystem>

namespace velmora::par1 {

class SafeRename {
public:
    // Renames without ever replacing a file: false when the target exists. Other failures throw
    // IoError.
    static bool withoutReplacing(const std::filesystem::path& from,
                                 const std::filesystem::path& to);
    // Renames, replacing the target when it exists.
    static void replacing(const std::filesystem::path& from, const std::filesystem::path& to);
};

} // namespace velmora::par1
