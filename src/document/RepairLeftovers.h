#pragma once

#include "document/FileStatus.h"

#include <QHash>
#include <QMap>
#include <QStringList>

// What a repair leaves beside a set's files. Before writing a file anew,
// par2cmdline renames the damaged one to NAME.1 (NAME.2, ... when that is
// taken) and our par helper to NAME.bad (NAME.bad1, ...). Only names that were not in the
// folder before the run count, so older copies are never touched.
class RepairLeftovers {
public:
    // The folder's entries (files, links, hidden ones), as the run starts.
    static QStringList namesInFolder(const QString& folder);

    // The damaged copies the run made of the named files: copy -> file it was.
    static QMap<QString, QString> damagedCopies(const QString& folder, const QStringList& before,
                                                const QStringList& fileNames);

    // After a repair that was stopped: each file the run had not finished is put
    // back as it was. A file whose copy the run made gets that copy back under
    // its name; a missing file that the run had begun to write is removed.
    // Answers the names that were put back or removed.
    static QStringList restoreUnfinished(const QString& folder, const QStringList& before,
                                         const FileStatusMap& files);

private:
    // The newest copy the run made of each name: one listing of the folder,
    // whatever the number of files.
    static QHash<QString, QString> copiesMade(const QString& folder, const QStringList& before);
    static bool isRegularFile(const QString& path);
};
