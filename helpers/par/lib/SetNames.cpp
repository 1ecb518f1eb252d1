#include "SetNames.h"

#include "FileNameRules.h"
#include "Par1Constants.h"

#include <cstdio>

namespace velmora::par1 {
namespace {

constexpr std::string_view kIndexExtension = ".par";
constexpr std::size_t kExtensionSize = 4;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool SetNames::isIndexName(std::string_view name) {
    return name.size() > kExtensionSize &&
           FileNameRules::same(name.substr(name.size() - kExtensionSize), kIndexExtension, false);
}

// A set may be opened through any of its volumes: NAME.P01 names the set NAME.
std::string SetNames::baseName(std::string_view indexName) {
    if (isIndexName(indexName) || isVolumeName(indexName))
        indexName.remove_suffix(kExtensionSize);
    return std::string(indexName);
}

bool SetNames::isVolumeName(std::string_view name) {
    if (name.size() <= kExtensionSize)
        return false;
    const std::string_view extension = name.substr(name.size() - kExtensionSize);
    return extension[0] == '.' && (extension[1] == 'P' || extension[1] == 'p') &&
           isDigit(extension[2]) && isDigit(extension[3]);
}

std::string SetNames::volumeName(std::string_view indexName, unsigned volume) {
    char extension[8];
    std::snprintf(extension, sizeof extension, ".P%02u", volume);
    return baseName(indexName) + extension;
}

std::optional<unsigned> SetNames::volumeNumberOf(std::string_view candidate,
                                                 std::string_view indexName, bool caseSensitive) {
    const std::string base = baseName(indexName);
    if (candidate.size() != base.size() + kExtensionSize)
        return std::nullopt;
    const std::string_view extension = candidate.substr(base.size());
    if (!FileNameRules::same(candidate.substr(0, base.size()), base, caseSensitive) ||
        extension[0] != '.' || (extension[1] != 'P' && extension[1] != 'p') ||
        !isDigit(extension[2]) || !isDigit(extension[3]))
        return std::nullopt;
    const unsigned volume = (extension[2] - '0') * 10u + (extension[3] - '0');
    if (volume == 0 || volume > kMaxVolumes)
        return std::nullopt;
    return volume;
}

} // namespace velmora::par1
