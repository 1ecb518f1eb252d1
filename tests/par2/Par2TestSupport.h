#pragma once

#include "RunCommand.h"
#include "TestFiles.h"
#include "par2/Par2FileDefs.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>

// What par2 wrote in one recorded case (tests/fixtures/make-par2-outputs).
struct RecordedRun {
    QString stdOut;
    QString stdErr;
    int exitStatus = -1;

    static RecordedRun load(const QString& name) {
        const auto read = [&](const char* extension) {
            QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/par2/%1.%2")
                           .arg(name, QLatin1String(extension)));
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        return {read("stdout"), read("stderr"), read("exit").trimmed().toInt()};
    }
};

inline const QStringList kRecordedCases = {QStringLiteral("intact"),
                                           QStringLiteral("misnamed"),
                                           QStringLiteral("repaired"),
                                           QStringLiteral("repaired-misnamed"),
                                           QStringLiteral("rebuilt-from-data"),
                                           QStringLiteral("not-repairable"),
                                           QStringLiteral("empty-volumes"),
                                           QStringLiteral("helper-error")};

// The writes par2 makes: one per line, progress lines ending in a carriage return.
inline QStringList writesOf(const QString& output) {
    QStringList writes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < output.size(); ++i) {
        if (output[i] == u'\n' || output[i] == u'\r') {
            writes.append(output.mid(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < output.size())
        writes.append(output.mid(start));
    return writes;
}

// A PAR 2 packet with the given type and body; the length field can be forced.
inline QByteArray par2Packet(const char (&type)[16], const QByteArray& body, qint64 length = -1) {
    QByteArray packet(Par2FileDefs::kHeaderSize, '\0');
    std::copy(std::begin(Par2FileDefs::packet_magic), std::end(Par2FileDefs::packet_magic),
              packet.begin());
    qToLittleEndian<quint64>(length < 0 ? quint64(packet.size() + body.size()) : quint64(length),
                             packet.data() + Par2FileDefs::kLengthOffset);
    std::copy(std::begin(type), std::end(type), packet.begin() + Par2FileDefs::kTypeOffset);
    return packet + body;
}

inline QByteArray fileDescriptionPacket(const QByteArray& name, int zeroPadding = 0) {
    return par2Packet(Par2FileDefs::filedescriptionpacket_type,
                      QByteArray(Par2FileDefs::kFileDescNameOffset, 'h') + name +
                          QByteArray(zeroPadding, '\0'));
}

inline constexpr char kMainPacketType[16] = {'P', 'A', 'R', ' ', '2',  '.',  '0',  '\0',
                                             'M', 'a', 'i', 'n', '\0', '\0', '\0', '\0'};

// Runs the real par2 in a folder; its exit status, or -1 when it did not run.
inline int runPar2In(const QString& folder, const QStringList& arguments) {
    return runCommand(folder, QStringLiteral("/usr/bin/par2"), arguments);
}

inline void damageFile(const QString& path, qint64 at) {
    QFile file(path);
    if (file.open(QIODevice::ReadWrite) && file.seek(at))
        file.write("XXXX");
}
