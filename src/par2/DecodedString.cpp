#include "DecodedString.h"

#include "par2/FilenameEncodings.h"

std::optional<DecodedString> DecodedString::decodedStringFromEncoding(uint32_t encoding,
                                                                      const QByteArray& bytes) {
    std::optional<QString> text = FilenameEncodings::decode(encoding, bytes);
    if (!text)
        return std::nullopt;
    return DecodedString(encoding, std::move(*text));
}
