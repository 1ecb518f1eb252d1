#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::par1 {

// The names in the set's folder, read once, so that names can be matched with or without case.
class FolderListing {
public:
    struct Item {
        std::string name;
        bool regular = false;
        std::uint64_t size = 0;
    };

    explicit FolderListing(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return folder_; }
    const std::vector<Item>& items() const { return items_; }
    // The entry for name: the exact name first, then (unless caseSensitive) one that differs
    // only in ASCII case.
    const Item* find(std::string_view name, bool caseSensitive) const;
    void renamed(std::string_view from, std::string_view to);

private:
    std::filesystem::path folder_;
    std::vector<Item> items_;
};

} // namespace velmora::par1
