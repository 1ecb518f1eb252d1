#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::par1 {

// File names are UTF-16LE in the file list and UTF-8 everywhere else. Both directions are exact
// (characters outside the basic plane become surrogate pairs and back); anything that does not
// decode is refused with NameCodecError instead of being guessed at.
class NameCodec {
public:
    static std::vector<std::uint8_t> toUtf16le(std::string_view utf8);
    static std::string fromUtf16le(std::span<const std::uint8_t> utf16le);
    // For messages only: valid UTF-8 as it is, any other byte read as Latin-1.
    static std::string printable(std::string_view bytes);
};

class NameCodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace velmora::par1
