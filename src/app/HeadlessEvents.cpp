#include "HeadlessEvents.h"

#include "app/DocumentJson.h"
#include "document/StatusCodes.h"

#include <QDateTime>
#include <cmath>

HeadlessEvents::HeadlessEvents(std::function<void(const QJsonObject&)> write)
    : m_write(std::move(write)) {}

void HeadlessEvents::write(const QString& event, const QString& path, QJsonObject fields) {
    fields.insert("schema", DocumentJson::kSchema);
    fields.insert("event", event);
    fields.insert("path", path);
    fields.insert("time", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    m_write(fields);
}

void HeadlessEvents::queued(const QString& path, const QString& type) {
    m_documents.insert(path, DocumentState());
    write("queued", path, {{"type", type}});
}

void HeadlessEvents::statusChanged(const QString& path, int32_t status, const QString& statusText) {
    DocumentState& state = m_documents[path];
    if (status == state.status)
        return;
    if (DocStatus::isRunInProgress(status) && !DocStatus::isRunInProgress(state.status)) {
        state.runClock.start();
        state.firstPercent = -1;
        write("started", path);
    }
    state.status = status;
    write("status", path,
          {{"status", status},
           {"statusName", DocumentJson::statusName(status)},
           {"statusText", statusText}});
}

void HeadlessEvents::filesChanged(const QString& path, const FileStatusMap& files) {
    DocumentState& state = m_documents[path];
    for (const FileStatus& record : files) {
        const auto known = state.files.constFind(record.filename());
        if (known != state.files.constEnd() && *known == record.fileStatus())
            continue;
        state.files.insert(record.filename(), record.fileStatus());
        write("fileStatus", path,
              {{"file", record.filename()},
               {"status", record.fileStatus()},
               {"statusName", DocumentJson::fileStatusName(record.fileStatus())}});
    }
}

bool HeadlessEvents::progressDue(DocumentState& state, bool atEnd) {
    if (!atEnd && state.lastProgress.isValid() &&
        state.lastProgress.elapsed() < kProgressIntervalMs)
        return false;
    state.lastProgress.start();
    return true;
}

// A straight line through the progress made since the run's first report.
QJsonValue HeadlessEvents::secondsLeft(const DocumentState& state, int32_t percent) {
    if (!state.runClock.isValid() || state.firstPercent < 0 || percent <= state.firstPercent)
        return QJsonValue();
    const double secondsPerPercent =
        double(state.runClock.elapsed()) / 1000.0 / double(percent - state.firstPercent);
    return qint64(std::lround(secondsPerPercent * double(100 - percent)));
}

// Documents reset their progress before they run; that is no news.
void HeadlessEvents::progress(const QString& path, int32_t percent) {
    DocumentState& state = m_documents[path];
    if (percent < 0 || !DocStatus::isRunInProgress(state.status))
        return;
    if (state.firstPercent < 0) {
        state.firstPercent = percent;
        state.runClock.start();
    }
    if (!progressDue(state, percent >= 100))
        return;
    write("progress", path, {{"percent", percent}, {"secondsLeft", secondsLeft(state, percent)}});
}

void HeadlessEvents::extractionProgress(const QString& path, const QString& archive,
                                        double fraction, const QString& currentFile) {
    DocumentState& state = m_documents[path];
    if (!progressDue(state, fraction >= 1.0))
        return;
    write("extractionProgress", path,
          {{"archive", archive},
           {"percent", qint64(std::lround(fraction * 100.0))},
           {"currentFile", currentFile}});
}

void HeadlessEvents::finished(const QString& path, const QJsonObject& fields) {
    write("finished", path, fields);
    m_documents.remove(path);
}
