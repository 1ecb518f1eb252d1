#include "TargetFileList.h"

#include "par2/Par2FileDefs.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

std::optional<TargetFileList> TargetFileList::initFromPar2File(const QString& path) {
    // Opening a FIFO would wait for a writer.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    TargetFileList list;
    if (!list.createFileArray(file))
        return std::nullopt;
    return list;
}

bool TargetFileList::createFileArray(QIODevice& file) {
    // Asked once: a set has a packet per file, and each size costs a system call.
    const qint64 fileSize = file.size();
    for (bool atEnd = false; !atEnd;) {
        if (!readPacket(file, fileSize, atEnd))
            return false;
    }
    return true;
}

// A packet's declared length must cover its header (and, for a file
// description, the fixed fields and at least one byte of name) and must not
// reach past the end of the file; otherwise the file is malformed.
bool TargetFileList::readPacket(QIODevice& file, qint64 fileSize, bool& atEnd) {
    using namespace Par2FileDefs;
    const QByteArray header = file.read(kHeaderSize);
    if (header.isEmpty()) {
        atEnd = true;
        return true;
    }
    if (header.size() < kHeaderSize ||
        std::memcmp(header.constData() + kMagicOffset, packet_magic, sizeof packet_magic) != 0)
        return false;
    const quint64 length = qFromLittleEndian<quint64>(header.constData() + kLengthOffset);
    const qint64 remaining = fileSize - file.pos();
    if (length < quint64(kHeaderSize) || length - kHeaderSize > quint64(remaining))
        return false;
    const qint64 bodySize = qint64(length) - kHeaderSize;
    const bool isFileDescription =
        std::memcmp(header.constData() + kTypeOffset, filedescriptionpacket_type, kTypeSize) == 0;
    // Skipping goes through the device's buffer first; a seek would drop the
    // buffer and cost a system call for each of a large set's packets.
    if (!isFileDescription)
        return file.skip(bodySize) == bodySize;
    if (bodySize <= kFileDescNameOffset)
        return false;
    const QByteArray body = file.read(bodySize);
    if (body.size() != bodySize)
        return false;
    addName(body);
    return true;
}

// The name is padded with zero bytes; at most three of them are removed.
void TargetFileList::addName(const QByteArray& body) {
    QByteArray name = body.mid(Par2FileDefs::kFileDescNameOffset);
    for (int removed = 0; removed < 3 && !name.isEmpty() && name.back() == '\0'; ++removed)
        name.chop(1);
    if (!m_seen.contains(name)) {
        m_seen.insert(name);
        mFileArray.append(name);
    }
}
