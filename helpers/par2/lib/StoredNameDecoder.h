#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::par2 {

// Turns the names stored in a set into the file-system (UTF-8) names they stand for. The
// application passes the character set the user chose as a platform string-encoding number;
// without one the stored bytes are the name.
class StoredNameDecoder {
public:
    // The decoder the environment asks for (VLML_FILENAME_ENCODING); bytes as they are when the
    // variable is unset, empty or names an unknown character set.
    static StoredNameDecoder fromEnvironment();
    explicit StoredNameDecoder(std::optional<std::string> charset) : charset_(std::move(charset)) {}
    static std::optional<std::string> charsetFor(unsigned identifier);

    // Empty when the bytes are not valid in the character set.
    std::optional<std::string> decode(std::string_view stored) const;

private:
    std::optional<std::string> charset_;
};

} // namespace velmora::par2
