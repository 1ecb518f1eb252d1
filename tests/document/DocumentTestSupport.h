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
    QStringList makeFolderScanRepairParamArray(const QString&) override { return m_scanArguments; }
    QStringList m_scanArguments;
    QString getFilenameExtension() const override { return QStringLiteral("par2"); }
    OutputPipe mainOutputPipe() const override { return m_mainPipe; }
    bool supportCreation() const override { return true; }
    bool checkRoomForFiles(int) override { return true; }

    // What the hooks saw; they run on the reader threads under the document
    // lock, so the test reads it under that lock too.
    struct Record {
        QString stdOutText, stdErrText;
        QString finishedOnThread;
        int exitStatus = -2;
    };
    Record record() const {
        std::lock_guard lock(m_DocumentLock);
        return {detachedCopy(m_record.stdOutText), detachedCopy(m_record.stdErrText),
                detachedCopy(m_record.finishedOnThread), m_record.exitStatus};
    }
    void clearStdOut() {
        std::lock_guard lock(m_DocumentLock);
        m_record.stdOutText.clear();
    }

protected:
    // "intact:NAME" lines stand for files the helper found intact.
    void ProcessStdOutData(const QString& text) override {
        m_record.stdOutText += text;
        m_ParMainOutput += text;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("intact:"))) {
                m_FileStatus.insert(line.mid(7), FileStatus(line.mid(7), FileCode::Intact));
                noteFileStatusChanged();
            }
        }
    }
    void ProcessStdErrData(const QString& text) override { m_record.stdErrText += text; }
    void DetermineFinalStatusAfterRecover() override {
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        m_record.finishedOnThread = QString::fromLatin1(name);
        m_record.exitStatus = helperExitStatus();
        if (m_DocumentStatus() != DocStatus::Aborted)
            setm_DocumentStatus(m_record.exitStatus == 0 ? DocStatus::AllIntact
                                                         : DocStatus::HelperErrors);
    }

private:
    Record m_record;
    QStringList m_arguments;
    OutputPipe m_mainPipe;
};

// Records what the document shows; every call must come on the main thread.
class RecordingWindow : public DocumentWindowInterface {
public:
    void FileStatusChanged(MyDocument*, const DocumentFileChanges& changes,
                           const QString&) override {
        check();
        changes.files.applyTo(lastFiles);
        lastDeliverySize = changes.files.changed.size() + changes.files.removed.size();
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
    void documentDidClose() override { closed = true; }
    bool closed = false;

    QList<int32_t> statuses;
    int32_t lastProgress = 0;
    FileStatusMap lastFiles;
    qsizetype lastDeliverySize = 0;
    QString shownOutput;
    QStringList selection;
    bool closeButtonEnabled = true;
    bool calledOffMainThread = false;

private:
    void check();
};
