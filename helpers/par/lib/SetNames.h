#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::par1 {

// Names of the files of a set: NAME.par for the index file, NAME.P01 to NAME.P99 for volumes.
class SetNames {
public:
    static bool isIndexName(std::string_view name);
    // NAME.Pnn in any case of the extension.
    static bool isVolumeName(std::string_view name);
    // The name of the index or of a volume without its extension.
    static std::string baseName(std::string_view indexName);
    static std::string volumeName(std::string_view indexName, unsigned volume);
    // The volume number that candidate's name gives it in the set of indexName (any case of
    // the extension; the base compared with or without ASCII case), or nothing.
    static std::optional<unsigned> volumeNumberOf(std::string_view candidate,
                                                  std::string_view indexName, bool caseSensitive);
};

} // namespace velmora::par1
