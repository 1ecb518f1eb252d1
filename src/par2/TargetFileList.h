#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QSet>
#include <optional>

// The names of the files a PAR 2 set protects, read from the file-description
// packets of one of its files, as raw bytes without duplicates, in the order
// of their first appearance.
class TargetFileList {
public:
    // Nothing when the file cannot be opened or its packets cannot be read to
    // the end (a truncated or malformed file yields no names at all).
    static std::optional<TargetFileList> initFromPar2File(const QString& path);

    const QList<QByteArray>& getFileArray() const { return mFileArray; }
    // Reads every packet from the device's current position to its end.
    bool createFileArray(QIODevice& file);

private:
    bool readPacket(QIODevice& file, qint64 fileSize, bool& atEnd);
    void addName(const QByteArray& body);

    QList<QByteArray> mFileArray;
    QSet<QByteArray> m_seen;
};
