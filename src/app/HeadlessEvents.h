#pragma once

#include "document/FileStatus.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <functional>

// The event lines of `velmora --headless --events` (docs/json.md): one JSON
// object per event, each with the document's path and the time. Progress is
// written at most every kProgressInterval per document (and always at its end),
// since a helper may report it thousands of times a second. Main thread.
class HeadlessEvents {
public:
    static constexpr int kProgressIntervalMs = 250;

    explicit HeadlessEvents(std::function<void(const QJsonObject&)> write);

    void queued(const QString& path, const QString& type);
    // "status" for every new status, and "started" first when a run begins.
    void statusChanged(const QString& path, int32_t status, const QString& statusText);
    // "fileStatus" for each of the set's files whose status is new.
    void filesChanged(const QString& path, const FileStatusMap& files);
    void progress(const QString& path, int32_t percent);
    void extractionProgress(const QString& path, const QString& archive, double fraction,
                            const QString& currentFile);
    // fields: the outcome (a status, or an extraction's outcome).
    void finished(const QString& path, const QJsonObject& fields);

private:
    struct DocumentState {
        int32_t status = -1;
        QHash<QString, int32_t> files;
        QElapsedTimer runClock;
        int32_t firstPercent = -1;
        QElapsedTimer lastProgress;
    };

    void write(const QString& event, const QString& path, QJsonObject fields = {});
    bool progressDue(DocumentState& state, bool atEnd);
    static QJsonValue secondsLeft(const DocumentState& state, int32_t percent);

    std::function<void(const QJsonObject&)> m_write;
    QHash<QString, DocumentState> m_documents;
};
