#include "AfterRunTestSupport.h"

#include "EventLoopWait.h"
#include "RunCommand.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

bool RecordingWorkspace::openFile(const QString& path) {
    if (whileOpening)
        whileOpening();
    opened.append(path);
    return opens;
}

bool RecordingWorkspace::openFileWithApplication(const QString& path, const QString& application) {
    opened.append(application + ": " + path);
    return opens && installed.contains(application);
}

namespace {

class RecordingProgressView : public UnrarProgressView {
public:
    explicit RecordingProgressView(QStringList& calls) : m_calls(calls) {}
    void setStatusText(const QString& text) override { m_calls.append("status:" + text); }
    void setCurrentFileText(const QString& text) override {
        if (!text.isEmpty())
            m_calls.append("file:" + text);
    }
    void setIndeterminate() override { m_calls.append("indeterminate"); }
    void setProgress(double fraction) override {
        m_calls.append(QStringLiteral("progress:%1").arg(fraction));
    }
    void runEnded() override { m_calls.append("ended"); }
    void close() override { m_calls.append("close"); }

private:
    QStringList& m_calls;
};

} // namespace

std::unique_ptr<UnrarProgressView>
RecordingProgressPresenter::makeView(UnrarProgressionController&, DocumentWindowInterface* window,
                                     const QString& archive) {
    calls.append(QStringLiteral("view:%1:%2")
                     .arg(window ? "sheet" : "window", QFileInfo(archive).fileName()));
    return std::make_unique<RecordingProgressView>(calls);
}

void AfterRunPar2Document::startExclusiveProcessing() {
    const bool extractionTurn = m_UnrarInProgress() == UnrarState::Waiting;
    PAR2Document::startExclusiveProcessing();
    if (extractionTurn)
        m_afterRun.startExclusiveExtraction();
}

void ScriptedRunDocument::startExclusiveProcessing() {
    const bool extractionTurn = m_UnrarInProgress() == UnrarState::Waiting;
    if (!extractionTurn) {
        ++starts;
        if (onStart)
            onStart();
    }
    MyDocument::startExclusiveProcessing();
    if (extractionTurn)
        m_afterRun.startExclusiveExtraction();
}

void ScriptedRunDocument::close() {
    readersAliveAtClose = hasLiveReaders();
    MyDocument::close();
}

void ScriptedRunDocument::DetermineFinalStatusAfterRecover() {
    for (const QString& name : m_files)
        m_FileStatus.insert(name, FileStatus(name, FileCode::Intact));
    setm_DocumentStatus(m_status);
}

QString makeFolder(const QString& name) {
    return TestEnvironment::makeFolder(name);
}

QByteArray randomData(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

void writeData(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

QByteArray readData(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int run(const QString& folder, const QString& program, const QStringList& arguments) {
    return runCommand(folder, program, arguments);
}

void makeRar5(const QString& folder, const QString& archive, const QMap<QString, QByteArray>& files,
              const QStringList& switches) {
    const QString source = folder + "/src-" + archive;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeData(source + '/' + it.key(), it.value());
    ASSERT_EQ(run(source, "/usr/bin/rar",
                  QStringList{"a", "-idq", "-m0"} + switches + QStringList{folder + '/' + archive} +
                      files.keys()),
              0);
}

QStringList trashedNames() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                "/Trash/files")
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return spinUntil(
        [&] {
            if (condition())
                return true;
            QThread::msleep(2);
            return false;
        },
        timeoutMs);
}

bool isSettled(MyDocument& document) {
    const int32_t status = document.m_DocumentStatus();
    if (status == DocStatus::Idle || status == DocStatus::WaitingForTurn ||
        DocStatus::isRunInProgress(status))
        return false;
    return document.m_PARIsRunning() == RunKind::None && !document.hasLiveReaders() &&
           !document.isWaitingForExclusiveProcessing() &&
           document.m_UnrarInProgress() == UnrarState::None;
}
