#pragma once

#include <string_view>

namespace velmora::par1 {

// Writes the report to standard error at once, without any buffering, so that the application
// sees every line (and every piece of the progress bar) the moment it exists.
class Reporter {
public:
    // Names in status lines are padded with blanks to this many characters.
    static constexpr std::size_t kNameColumns = 40;

    void write(std::string_view text) const;
    void line(std::string_view text) const;
    // "NAME<blanks> - ENDING"
    void fileLine(std::string_view name, std::string_view ending) const;
};

} // namespace velmora::par1
