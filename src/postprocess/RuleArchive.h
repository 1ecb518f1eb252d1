#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QString>
#include <cstdint>

// The sequential archive a rule is stored in: a header naming the format and
// the class, then typed values in a fixed order, each behind its type tag
// ('i' 32-bit integer, 'c' signed char, '@' string object). Reading checks every
// tag, so a damaged blob is refused instead of read as garbage.
class RuleArchiveWriter {
public:
    explicit RuleArchiveWriter(const QString& className);
    void writeInt(int32_t value);
    void writeChar(int8_t value);
    void writeString(const QString& value);
    QByteArray data() const { return m_data; }

private:
    QByteArray m_data;
    QDataStream m_stream;
};

class RuleArchiveReader {
public:
    RuleArchiveReader(const QByteArray& data, const QString& className);
    bool readInt(int32_t& value);
    bool readChar(int8_t& value);
    bool readString(QString& value);
    // True when the header matched and every read so far succeeded.
    bool ok() const;

private:
    bool readTag(char expected);

    QDataStream m_stream;
    bool m_ok = true;
};
