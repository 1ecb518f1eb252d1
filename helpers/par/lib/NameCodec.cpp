#include "NameCodec.h"

#include <optional>
#include <stdexcept>

namespace velmora::par1 {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Decodes the character at position, advancing it; empty for a malformed sequence.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& position) {
    const auto lead = static_cast<unsigned char>(text[position]);
    std::size_t length = 1;
    char32_t value = lead;
    char32_t minimum = 0;
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else if (lead >= 0xE0) {
        length = lead <= 0xEF ? 3 : 0;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xC2) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0x80) {
        return std::nullopt;
    }
    if (length == 0 || position + length > text.size())
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > kMaxCodePoint || isSurrogate(value))
        return std::nullopt;
    position += length;
    return value;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUnit(std::vector<std::uint8_t>& out, char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

} // namespace

std::vector<std::uint8_t> NameCodec::toUtf16le(std::string_view utf8) {
    std::vector<std::uint8_t> out;
    std::size_t position = 0;
    while (position < utf8.size()) {
        const auto c = decodeUtf8(utf8, position);
        if (!c)
            throw NameCodecError("the name is not valid UTF-8");
        if (*c >= 0x10000) {
            appendUnit(out, 0xD800 + ((*c - 0x10000) >> 10));
            appendUnit(out, 0xDC00 + ((*c - 0x10000) & 0x3FF));
        } else {
            appendUnit(out, *c);
        }
    }
    return out;
}

std::string NameCodec::fromUtf16le(std::span<const std::uint8_t> utf16le) {
    if (utf16le.size() % 2 != 0)
        throw NameCodecError("the UTF-16 name has an odd number of bytes");
    std::string out;
    const std::size_t units = utf16le.size() / 2;
    auto unitAt = [&](std::size_t i) -> char32_t {
        return utf16le[2 * i] | utf16le[2 * i + 1] << 8;
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (!isSurrogate(unit)) {
            appendUtf8(out, unit);
            continue;
        }
        const bool high = unit < 0xDC00;
        if (!high || i + 1 == units || unitAt(i + 1) < 0xDC00 || unitAt(i + 1) > 0xDFFF)
            throw NameCodecError("the UTF-16 name holds an unpaired surrogate");
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
        ++i;
    }
    return out;
}

std::string NameCodec::printable(std::string_view bytes) {
    std::string out;
    std::size_t position = 0;
    while (position < bytes.size()) {
        const std::size_t start = position;
        if (decodeUtf8(bytes, position)) {
            out.append(bytes.substr(start, position - start));
        } else {
            appendUtf8(out, static_cast<unsigned char>(bytes[position]));
            ++position;
        }
    }
    return out;
}

} // namespace velmora::par1
