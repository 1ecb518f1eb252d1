#include "StoredNameDecoder.h"

#include <charconv>
#include <cstdlib>
#include <iconv.h>
#include <vector>

namespace velmora::par2 {

std::optional<std::string> StoredNameDecoder::charsetFor(unsigned identifier) {
    // The application's identifiers of the character sets it offers for stored names.
    switch (identifier) {
    case 3:
        return "EUC-JP";
    case 4:
        return "UTF-8";
    case 5:
        return "ISO-8859-1";
    case 8:
        return "SHIFT_JIS";
    case 9:
        return "ISO-8859-2";
    case 11:
        return "CP1251";
    case 12:
        return "CP1252";
    case 13:
        return "CP1253";
    case 14:
        return "CP1254";
    case 15:
        return "CP1250";
    case 21:
        return "ISO-2022-JP";
    case 30:
        return "MACINTOSH";
    default:
        return std::nullopt;
    }
}

StoredNameDecoder StoredNameDecoder::fromEnvironment() {
    const char* value = std::getenv("VLML_FILENAME_ENCODING");
    if (value == nullptr)
        return StoredNameDecoder(std::nullopt);
    const std::string_view text(value);
    unsigned identifier = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), identifier);
    if (error != std::errc() || end != text.data() + text.size())
        return StoredNameDecoder(std::nullopt);
    return StoredNameDecoder(charsetFor(identifier));
}

std::optional<std::string> StoredNameDecoder::decode(std::string_view stored) const {
    if (!charset_)
        return std::string(stored);
    const iconv_t converter = iconv_open("UTF-8", charset_->c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(stored);
    std::vector<char> output(stored.size() * 4 + 16);
    char* in = const_cast<char*>(stored.data());
    std::size_t inLeft = stored.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const bool ok = iconv(converter, &in, &inLeft, &out, &outLeft) != std::size_t(-1) &&
                    iconv(converter, nullptr, nullptr, &out, &outLeft) != std::size_t(-1);
    iconv_close(converter);
    if (!ok)
        return std::nullopt;
    return std::string(output.data(), output.size() - outLeft);
}

} // namespace velmora::par2
