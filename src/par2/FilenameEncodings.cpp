#include "FilenameEncodings.h"

#include "platform/StringTables.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace {

// One iconv conversion to UTF-8, released when it goes.
class Utf8Converter {
public:
    explicit Utf8Converter(const char* from) : m_handle(iconv_open("UTF-8", from)) {}
    ~Utf8Converter() {
        if (isOpen())
            iconv_close(m_handle);
    }
    Utf8Converter(const Utf8Converter&) = delete;
    Utf8Converter& operator=(const Utf8Converter&) = delete;

    bool isOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::optional<QByteArray> convert(const QByteArray& bytes) {
        // Back to the initial shift state, whatever an earlier name left.
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        // Every input byte gives at most four output bytes; the final flush of a
        // stateful set (ISO-2022-JP) needs no more than that either.
        QByteArray output(bytes.size() * 4 + 16, Qt::Uninitialized);
        char* in = const_cast<char*>(bytes.constData());
        size_t inLeft = size_t(bytes.size());
        char* out = output.data();
        size_t outLeft = size_t(output.size());
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == size_t(-1) ||
            iconv(m_handle, nullptr, nullptr, &out, &outLeft) == size_t(-1))
            return std::nullopt;
        output.truncate(output.size() - qsizetype(outLeft));
        return output;
    }

private:
    iconv_t m_handle;
};

// Opening a descriptor costs far more than a conversion, and one descriptor
// must not be used by two threads at once: each thread keeps its own, one per
// character set, for its lifetime.
Utf8Converter& converterFor(const FilenameEncodings::Entry& entry) {
    thread_local std::array<std::unique_ptr<Utf8Converter>,
                            FilenameEncodings::gUsedEncodings.size()>
        converters;
    const size_t index = size_t(&entry - FilenameEncodings::gUsedEncodings.data());
    std::unique_ptr<Utf8Converter>& converter = converters[index];
    if (!converter)
        converter = std::make_unique<Utf8Converter>(entry.iconvName);
    return *converter;
}

} // namespace

const FilenameEncodings::Entry* FilenameEncodings::find(uint32_t identifier) {
    for (const Entry& entry : gUsedEncodings) {
        if (entry.identifier == identifier)
            return &entry;
    }
    return nullptr;
}

bool FilenameEncodings::storedAsUtf8(const QList<QByteArray>& names) {
    const bool beyondAscii = std::any_of(names.begin(), names.end(), [](const QByteArray& name) {
        return std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; });
    });
    return beyondAscii && std::all_of(names.begin(), names.end(), [](const QByteArray& name) {
               return decode(kUtf8Encoding, name).has_value();
           });
}

bool FilenameEncodings::readsAlikeInEvery(const QByteArray& name) {
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '~'; });
}

QString FilenameEncodings::localizedName(uint32_t identifier) {
    const Entry* entry = find(identifier);
    return entry ? StringTables::localized(QString::fromLatin1(entry->displayName))
                 : QString::number(identifier);
}

std::optional<QString> FilenameEncodings::decode(uint32_t identifier, const QByteArray& bytes) {
    const Entry* entry = find(identifier);
    if (!entry)
        return std::nullopt;
    Utf8Converter& converter = converterFor(*entry);
    if (!converter.isOpen())
        return std::nullopt;
    const std::optional<QByteArray> utf8 = converter.convert(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}
