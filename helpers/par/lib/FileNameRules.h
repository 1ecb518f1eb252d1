#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::par1 {

// What a name in a set may be: a plain name in the set's folder that the report lines can carry.
class FileNameRules {
public:
    // Why the name cannot be used, or nothing when it is fine.
    static std::optional<std::string> problem(std::string_view name);
    // A name that appears twice (ignoring ASCII case unless caseSensitive), or nothing.
    static std::optional<std::string> duplicate(const std::vector<std::string>& names,
                                                bool caseSensitive);
    static bool same(std::string_view a, std::string_view b, bool caseSensitive);
    // The name as it can appear inside one line of a message.
    static std::string forMessage(std::string_view name);
};

} // namespace velmora::par1
