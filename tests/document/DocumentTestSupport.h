#pragma once

#include "document/DocumentWindowInterface.h"
#include "document/MyDocument.h"

#include <QFile>
#include <QMutex>
#include <QStringList>
#include <pthread.h>

// A set type for runner tests: it keeps every chunk, ends the run on the pipe
// it is told, and settles the final status from the helper's exit status.
class RecordingDocument : public MyDocument {
public:
    explicit RecordingDocument(const QString& tool, QStringList arguments = {},
                               OutputPipe mainPipe = OutputPipe::StdOut)
        : MyDocument(tool), m_arguments(std::move(arguments)), m_mainPipe(mainPipe) {}

    QStringList makeRepairParamArray(const QString&) override { return m_arguments; }
    QString getFilenameExtension() const override { return QStringLiteral("par2"); }
    OutputPipe mainOutputPipe() const override { return m_mainPipe; }
    bool supportCreation() const override { return true; }
    bool checkRoomForFiles(int) override { return true; }

    QString stdOutText, stdErrText;
    QString finishedOnThread;
    int exitStatus = -2;

protected:
    // "intact:NAME" lines stand for files the helper found intact.
    void ProcessStdOutData(const QString& text) override {
        stdOutText += text;
        m_ParMainOutput += text;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("intact:")))
                m_FileStatus.insert(line.mid(7), FileStatus(line.mid(7), FileCode::Intact));
        }
    }
    void ProcessStdErrData(const QString& text) override { stdErrText += text; }
    void DetermineFinalStatusAfterRecover() override {
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        finishedOnThread = QString::fromLatin1(name);
        exitStatus = helperExitStatus();
        if (m_DocumentStatus() != DocStatus::Aborted)
            setm_DocumentStatus(exitStatus == 0 ? DocStatus::AllIntact : DocStatus::HelperErrors);
    }

private:
    QStringList m_arguments;
    OutputPipe m_mainPipe;
};

// Records what the document shows; every call must come on the main thread.
class RecordingWindow : public DocumentWindowInterface {
public:
    void FileStatusChanged(MyDocument*, const FileStatusMap& files, const FileStatusMap&,
                           const QString&) override {
        check();
        lastFiles = files;
    }
    void StatusChanged(MyDocument*, int32_t status) override {
        check();
        statuses.append(status);
    }
    void ProgressionChanged(MyDocument*, int32_t progress) override {
        check();
        lastProgress = progress;
    }
    void ParOutputChanged(MyDocument*, const QString& output) override {
        check();
        shownOutput = output;
    }
    void ParOutputAppended(MyDocument*, const QString& added) override {
        check();
        shownOutput += added;
    }
    void RefreshUI() override { check(); }
    QStringList SelectedFiles() const override { return selection; }
    int NumSelectedFiles() const override { return int(selection.size()); }
    void NoSelection() override { selection.clear(); }
    void setCloseButtonEnabled(bool enabled) override {
        check();
        closeButtonEnabled = enabled;
    }
    void showWindows() override {}

    QList<int32_t> statuses;
    int32_t lastProgress = 0;
    FileStatusMap lastFiles;
    QString shownOutput;
    QStringList selection;
    bool closeButtonEnabled = true;
    bool calledOffMainThread = false;

private:
    void check();
};
