#include "FilenameEncodings.h"

#include "platform/StringTables.h"

#include <cerrno>
#include <iconv.h>

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

} // namespace

const FilenameEncodings::Entry* FilenameEncodings::find(uint32_t identifier) {
    for (const Entry& entry : gUsedEncodings) {
        if (entry.identifier == identifier)
            return &entry;
    }
    return nullptr;
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
    Utf8Converter converter(entry->iconvName);
    if (!converter.isOpen())
        return std::nullopt;
    const std::optional<QByteArray> utf8 = converter.convert(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}
