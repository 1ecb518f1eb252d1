#include "FolderListing.h"

#include "FileNameRules.h"

#include <algorithm>
#include <sys/stat.h>

namespace velmora::par1 {

FolderListing::FolderListing(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        Item item;
        item.name = entry.path().filename().string();
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            item.regular = true;
            item.size = static_cast<std::uint64_t>(info.st_size);
        }
        items_.push_back(std::move(item));
    }
    std::sort(items_.begin(), items_.end(),
              [](const Item& a, const Item& b) { return a.name < b.name; });
}

const FolderListing::Item* FolderListing::find(std::string_view name, bool caseSensitive) const {
    for (bool exact : {true, false}) {
        if (!exact && caseSensitive)
            break;
        const auto match = std::find_if(items_.begin(), items_.end(), [&](const Item& item) {
            return FileNameRules::same(item.name, name, exact);
        });
        if (match != items_.end())
            return &*match;
    }
    return nullptr;
}

void FolderListing::renamed(std::string_view from, std::string_view to) {
    for (Item& item : items_) {
        if (item.name == from)
            item.name = to;
    }
}

} // namespace velmora::par1
