#pragma once

#include "EventLoopWait.h"
#include "RunCommand.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "document/MyDocument.h"

#include <QDir>

inline bool runEnded(MyDocument& document) {
    return waitUntil(
        [&] { return document.m_PARIsRunning() == RunKind::None && !document.hasLiveReaders(); });
}

inline void useBuiltHelpers() {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
}

// `count` files of a few kilobytes each; names that FilenameSort orders by number.
inline QStringList makeSubjectFiles(const QString& folder, int count) {
    QStringList paths;
    for (int i = 1; i <= count; ++i)
        paths.append(writeFile(folder, QStringLiteral("part%1.bin").arg(i),
                               randomBytes(1000 + 97 * i, quint32(i))));
    return paths;
}

// What the real par2 says of the set: its exit status for "verify".
inline int par2Verify(const QString& folder, const QString& mainFile) {
    return runCommand(folder, QStringLiteral("/usr/bin/par2"), {"v", "-q", "--", mainFile});
}

// The set's files and the hidden ones the helper writes them under until they are complete.
inline QStringList filesBeingWritten(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.par2"), QStringLiteral(".*.par2.part-*")},
                                  QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

inline QStringList setFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.par2")}, QDir::Files | QDir::System,
                                  QDir::Name);
}
