#include "AfterRunTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

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

void makeRar5(const QString& folder, const QString& archive, const QMap<QString, QByteArray>& files,
              const QStringList& switches) {
    const QString source = folder + "/src-" + archive;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeFile(source + '/' + it.key(), it.value());
    ASSERT_EQ(runCommand(source, "/usr/bin/rar",
                         QStringList{"a", "-idq", "-m0"} + switches +
                             QStringList{folder + '/' + archive} + files.keys()),
              0);
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
