#include "FileNameRules.h"

#include "NameCodec.h"

#include <algorithm>

namespace velmora::par1 {

std::optional<std::string> FileNameRules::problem(std::string_view name) {
    if (name.empty())
        return "the name is empty";
    if (name == "." || name == "..")
        return "the name refers to a folder";
    if (name.find_first_of("/\\") != std::string_view::npos)
        return "the name has a folder part";
    const bool hasControl = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (hasControl)
        return "the name holds a control character";
    return std::nullopt;
}

std::optional<std::string> FileNameRules::duplicate(const std::vector<std::string>& names,
                                                    bool caseSensitive) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (same(names[i], names[j], caseSensitive))
                return names[j];
        }
    }
    return std::nullopt;
}

bool FileNameRules::same(std::string_view a, std::string_view b, bool caseSensitive) {
    if (caseSensitive)
        return a == b;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

std::string FileNameRules::forMessage(std::string_view name) {
    std::string text = NameCodec::printable(name);
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
    return text;
}

} // namespace velmora::par1
