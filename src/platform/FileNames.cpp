#include "FileNames.h"

#include <QDir>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The code point of the well-formed UTF-8 sequence at `at`, and its length;
// 0 when the bytes there are not one.
int sequenceAt(const QByteArray& bytes, qsizetype at, char32_t* codePoint) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    int length = 0;
    char32_t value = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(byte(i)))
            return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

bool isEscapedByte(char16_t unit) {
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

} // namespace

QString FileNames::decode(const QByteArray& bytes) {
    // Most names are plain ASCII, which reads the same every way; a folder of
    // tens of thousands of them is decoded in one pass each.
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; }))
        return QString::fromLatin1(bytes);
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        const int length = sequenceAt(bytes, at, &codePoint);
        if (length == 0) {
            name.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(codePoint)) {
            name.append(QChar(QChar::highSurrogate(codePoint)));
            name.append(QChar(QChar::lowSurrogate(codePoint)));
        } else {
            name.append(QChar(char16_t(codePoint)));
        }
        at += length;
    }
    return name;
}

QString FileNames::decodePiece(QByteArray& pending, QByteArrayView piece) {
    pending += piece;
    qsizetype complete = pending.size();
    if (!piece.isEmpty()) {
        // The last lead byte among the final three starts a sequence the next piece may finish.
        for (qsizetype at = pending.size() - 1; at >= 0 && at >= pending.size() - 3; --at) {
            const auto byte = static_cast<unsigned char>(pending[at]);
            if (isContinuation(byte))
                continue;
            const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            if (at + length > pending.size())
                complete = at;
            break;
        }
    }
    const QString text = decode(pending.first(complete));
    pending.remove(0, complete);
    return text;
}

QByteArray FileNames::encode(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        bytes += QStringView(name).sliced(runStart, end - runStart).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool pairedLow = i > 0 && QChar::isHighSurrogate(name[i - 1].unicode());
        if (!isEscapedByte(unit) || pairedLow)
            continue;
        flushRun(i);
        bytes += char(unit - kEscapeBase);
        runStart = i + 1;
    }
    flushRun(name.size());
    return bytes;
}

QString FileNames::fromLocalFileUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return QString();
    return decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

bool FileNames::isPlainUtf8(const QString& name) {
    return displayName(name) == name;
}

QString FileNames::displayName(const QString& name) {
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool pairedLow = i > 0 && shown[i - 1].isHighSurrogate();
        if (isEscapedByte(shown[i].unicode()) && !pairedLow)
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

FileNames::Kind FileNames::kindAt(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::lstat(encode(path).constData(), &status) != 0)
        return Kind::None;
    if (S_ISREG(status.st_mode))
        return Kind::RegularFile;
    if (S_ISDIR(status.st_mode))
        return Kind::Folder;
    if (S_ISLNK(status.st_mode))
        return Kind::SymbolicLink;
    return Kind::Other;
}

QString FileNames::absolutePath(const QString& path) {
    if (QDir::isAbsolutePath(path))
        return QDir::cleanPath(path);
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    if (!folder)
        return QDir::cleanPath(path);
    return QDir::cleanPath(decode(QByteArray(folder.get())) + QLatin1Char('/') + path);
}
