#include "RuleArchive.h"

namespace {
const QByteArray kMagic = QByteArrayLiteral("velmora.archive");
constexpr int32_t kFormat = 1;
constexpr auto kStreamVersion = QDataStream::Qt_6_4;
// No string in a rule comes near this; a longer one means a damaged blob.
constexpr qsizetype kLongestString = 1 << 20;
} // namespace

RuleArchiveWriter::RuleArchiveWriter(const QString& className)
    : m_stream(&m_data, QIODevice::WriteOnly) {
    m_stream.setVersion(kStreamVersion);
    m_stream << kMagic << kFormat << className;
}

void RuleArchiveWriter::writeInt(int32_t value) {
    m_stream << qint8('i') << qint32(value);
}

void RuleArchiveWriter::writeChar(int8_t value) {
    m_stream << qint8('c') << qint8(value);
}

void RuleArchiveWriter::writeString(const QString& value) {
    m_stream << qint8('@') << value;
}

RuleArchiveReader::RuleArchiveReader(const QByteArray& data, const QString& className)
    : m_stream(data) {
    m_stream.setVersion(kStreamVersion);
    QByteArray magic;
    qint32 format = 0;
    QString storedClass;
    m_stream >> magic;
    if (magic != kMagic) {
        m_ok = false;
        return;
    }
    m_stream >> format >> storedClass;
    m_ok = m_stream.status() == QDataStream::Ok && format == kFormat && storedClass == className;
}

bool RuleArchiveReader::readTag(char expected) {
    qint8 tag = 0;
    m_stream >> tag;
    m_ok = m_ok && m_stream.status() == QDataStream::Ok && tag == expected;
    return m_ok;
}

bool RuleArchiveReader::readInt(int32_t& value) {
    qint32 raw = 0;
    if (readTag('i'))
        m_stream >> raw;
    value = raw;
    m_ok = m_ok && m_stream.status() == QDataStream::Ok;
    return m_ok;
}

bool RuleArchiveReader::readChar(int8_t& value) {
    qint8 raw = 0;
    if (readTag('c'))
        m_stream >> raw;
    value = raw;
    m_ok = m_ok && m_stream.status() == QDataStream::Ok;
    return m_ok;
}

bool RuleArchiveReader::readString(QString& value) {
    if (!readTag('@'))
        return false;
    m_stream >> value;
    m_ok = m_ok && m_stream.status() == QDataStream::Ok && value.size() <= kLongestString;
    return m_ok;
}

bool RuleArchiveReader::ok() const {
    return m_ok && m_stream.status() == QDataStream::Ok;
}
