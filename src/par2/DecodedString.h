#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>

// A stored name read in one character set. Two decoded strings are equal when
// their texts are, whatever character sets gave them.
class DecodedString {
public:
    // Nothing when the bytes are not valid in that character set.
    static std::optional<DecodedString> decodedStringFromEncoding(uint32_t encoding,
                                                                  const QByteArray& bytes);

    uint32_t getEncoding() const { return mEncoding; }
    QString getString() const { return mString; }

    bool operator==(const DecodedString& other) const { return mString == other.mString; }

private:
    DecodedString(uint32_t encoding, QString string)
        : mEncoding(encoding), mString(std::move(string)) {}

    uint32_t mEncoding;
    QString mString;
};

inline size_t qHash(const DecodedString& decoded, size_t seed = 0) {
    return qHash(decoded.getString(), seed);
}
