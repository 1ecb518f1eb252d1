#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The character sets tried on the names stored in a PAR 2 file. They are
// identified by the platform string-encoding numbers that the document, the
// preference "PrefFilenameEncoding" and the helper's environment carry.
class FilenameEncodings {
public:
    struct Entry {
        uint32_t identifier;
        const char* iconvName;
        const char* displayName;
    };

    static constexpr uint32_t kDefaultEncoding = 5; // ISO Latin 1
    static constexpr uint32_t kUtf8Encoding = 4;

    // The candidates in the order they are tried.
    static constexpr std::array<Entry, 12> gUsedEncodings{{
        {5, "ISO-8859-1", "Western (ISO Latin 1)"},
        {12, "CP1252", "Western (Windows Latin 1)"},
        {4, "UTF-8", "Unicode (UTF-8)"},
        {30, "MACINTOSH", "Western (Mac OS Roman)"},
        {9, "ISO-8859-2", "Central European (ISO Latin 2)"},
        {15, "CP1250", "Central European (Windows Latin 2)"},
        {3, "EUC-JP", "Japanese (EUC)"},
        {8, "SHIFT_JIS", "Japanese (Shift JIS)"},
        {21, "ISO-2022-JP", "Japanese (ISO 2022-JP)"},
        {11, "CP1251", "Cyrillic (Windows)"},
        {13, "CP1253", "Greek (Windows)"},
        {14, "CP1254", "Turkish (Windows)"},
    }};

    static const Entry* find(uint32_t identifier);
    // Sets made on Linux, and by par2cmdline anywhere, store UTF-8: true when every name is
    // valid UTF-8 and one at least goes beyond ASCII (plain ASCII reads alike in every set).
    static bool storedAsUtf8(const QList<QByteArray>& names);
    // Printable ASCII other than the backslash and the tilde (yen and overline in Shift JIS)
    // reads the same in every character set of the list.
    static bool readsAlikeInEvery(const QByteArray& name);
    // The name shown to the user; the number itself for an unknown identifier.
    static QString localizedName(uint32_t identifier);
    // The text the bytes give in that character set, or nothing when they are
    // not valid in it (or the identifier is unknown).
    static std::optional<QString> decode(uint32_t identifier, const QByteArray& bytes);
};
