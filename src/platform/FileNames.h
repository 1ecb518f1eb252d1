#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// File names as Linux stores them: bytes, usually but not always UTF-8. Qt
// turns bytes that are not UTF-8 into U+FFFD, so such a file could never be
// found again under the name Qt gives it. Here each such byte b becomes the
// lone surrogate U+DC00 + b, and back again, so every name survives the trip
// through a QString. Names that are UTF-8 read exactly as Qt reads them.
class FileNames {
public:
    static QString decode(const QByteArray& bytes);
    // Decodes a stream that arrives in pieces (a helper's output) exactly as decode() would
    // decode it whole: the bytes of a UTF-8 sequence cut at the end of a piece wait in pending
    // for the next piece. An empty piece marks the end and decodes what still waits.
    static QString decodePiece(QByteArray& pending, QByteArrayView piece);
    static QByteArray encode(const QString& name);
    // The path of a file URL, its percent-encoded bytes decoded as above; null
    // for other URLs.
    static QString fromLocalFileUrl(const QUrl& url);
    // Whether the name holds no byte that is not UTF-8, so Qt's own file
    // classes find it.
    static bool isPlainUtf8(const QString& name);
    // The name as it can be shown: each byte that is not UTF-8 as U+FFFD.
    static QString displayName(const QString& name);

    // The path made absolute against the working folder and cleaned, keeping the bytes
    // that are not UTF-8 (Qt's own QFileInfo turns them into U+FFFD on the way).
    static QString absolutePath(const QString& path);

    // What is at the path, without following a symbolic link.
    enum class Kind { None, RegularFile, Folder, SymbolicLink, Other };
    static Kind kindAt(const QString& path);
};
