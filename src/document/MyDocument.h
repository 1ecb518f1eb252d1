#pragma once

#include "app/Document.h"
#include "app/VLMError.h"
#include "document/FileStatus.h"
#include "document/StatisticsRecord.h"
#include "platform/ConditionLock.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

class DocumentWindowInterface;
class HelperProcess;
class PARDocumentController;

// Run kinds kept in m_PARIsRunning.
namespace RunKind {
inline constexpr int32_t None = 0;
inline constexpr int32_t VerifyRepair = 1;
inline constexpr int32_t Create = 2;
} // namespace RunKind

// Extraction states kept in m_UnrarInProgress.
namespace UnrarState {
inline constexpr int32_t None = 0;
inline constexpr int32_t Waiting = 1;
inline constexpr int32_t Running = 2;
} // namespace UnrarState

enum class OutputPipe { None, StdOut, StdErr };

// Actions whose menu items and toolbar buttons the document enables.
enum class DocumentAction {
    RetryRecovery,
    AddFile,
    ParRemove,
    SaveDocumentAs,
    AbortAction,
    EmailToAuthor,
    VisitWebPage,
    Preferences,
    NewDocument,
    Terminate,
    Other,
};

// The document that owns one PAR recovery set. PAR1Document and PAR2Document
// fill in the hooks; this class opens the set, waits for its turn, runs the
// helper tool on two reader threads and ends the run.
//
// Locking contract:
// - The hooks that read helper output or settle statuses (ProcessStdOutData,
//   ProcessStdErrData, DetermineFinalStatusAfter*, CountStatistics) run with
//   the document lock held, so the two readers never change the maps or the
//   output text at the same time. Hooks must not wait for the main thread.
// - Window updates requested while the lock is held (status, progress, file
//   statuses, output) are delivered after it is released; the window only
//   ever receives copies.
class MyDocument : public Document {
public:
    ~MyDocument() override;

    // Opening a recovery file.
    bool initWithContentsOfURL(const QString& location, const QString& type, VLMError* error);
    bool readFromFile(const QString& path, const QString& type);
    static bool FileIsTrashed(const QString& path);
    void SetChosenDirectory(const QString& path);
    QString chosenDirectory() const { return m_ChosenDirectory; }
    bool docIsUntitled() const { return m_DocIsUntitled; }

    // The window. Set and cleared on the main thread only.
    void setParController(DocumentWindowInterface* window) { m_parController = window; }
    DocumentWindowInterface* parController() const { return m_parController; }
    void windowControllerDidLoadNib();
    void UpdateUI();

    // Verify/repair run.
    void ProcessRepairCurrentFile();
    void finishStartRepairRun(uint32_t encoding);

    // The scheduler's protocol.
    void startExclusiveProcessing() override;
    bool isProcessing() const override;
    bool isWaitingForExclusiveProcessing() const override;
    bool inExclusiveProcessing() const;
    bool anyProcessRunning() const;

    // The runner.
    bool RunPARTask(const QStringList& arguments, int32_t runKind);
    // Blocks until both readers of the last run have exited. Never call it on the
    // main thread while a reader may be waiting for the main thread; use
    // closeWhenReadersExit or hasLiveReaders there.
    void waitForWorkerThreadsFinished();
    // Whether a reader thread of the last run is still alive (never blocks).
    bool hasLiveReaders();
    void AbortAction();
    QString createFilesConsideredOK() const;
    static constexpr int kMaxHelperArguments = 4096;

    // User actions.
    void PerformAbortAction();
    void PerformRetryRecovery();
    int32_t CanFileBeAdded(const QString& path) const;
    int AddFile(const QString& path, bool updateUI);
    void addFiles(const QStringList& paths);
    void PerformParRemove();
    int validateToolbarOrMenuItem(DocumentAction action) const;
    bool CanPerformAbortAction() const;
    bool CanPerformRetryRecovery() const;
    bool CanPerformAddFile() const;
    bool CanPerformParRemove() const;
    bool CanSaveDocumentAs() const;

    // Closing.
    bool canClose() const override;
    // Closes once both reader threads of the last run have exited, without
    // blocking the main thread on a reader that may be waiting for it.
    void closeWhenReadersExit();

    // State accessors; safe from any thread.
    int32_t m_PARIsRunning() const;
    void setm_PARIsRunning(int32_t runKind);
    bool m_PARHasRepaired() const;
    void setm_PARHasRepaired(bool repaired);
    int32_t m_DocumentStatus() const;
    void setm_DocumentStatus(int32_t status);
    int32_t m_Progress() const { return m_progress; }
    void setm_Progression(int32_t percent);
    int32_t m_UnrarInProgress() const { return m_unrarInProgress; }
    void setm_UnrarInProgress(int32_t state) { m_unrarInProgress = state; }
    uint32_t m_Encoding() const { return m_encoding; }

    // Copies for the window and for tests.
    FileStatusMap fileStatusSnapshot() const;
    FileStatusMap pxxFileStatusSnapshot() const;
    QString ParOutput() const;
    int numSubjectFiles() const;
    StatisticsRecord statistics() const;
    QString m_PARToolName() const { return m_parToolName; }

    // Set-type hooks.
    virtual bool VerifyPreconditionsForRepair();
    virtual bool prepareDocForRepairRun() { return true; }
    virtual QStringList makeRepairParamArray(const QString& parFilePath) = 0;
    virtual bool checkRoomForFiles(int count) { return count < 0; }
    virtual bool supportCreation() const { return false; }
    virtual QString getFilenameExtension() const = 0;
    virtual int getDefaultNumberForSaveOptions() { return 0; }
    virtual OutputPipe mainOutputPipe() const { return OutputPipe::None; }
    virtual void DoAutoDeleteParFiles() {}
    virtual void RecoverFileStateAfterAbortedGenerate() {}

    // End of a run, on the reader of the main output pipe.
    void PARFinished();

protected:
    explicit MyDocument(const QString& parToolName);

    // Called with the document lock held.
    virtual void ProcessStdOutData(const QString&) {}
    virtual void ProcessStdErrData(const QString&) {}
    virtual void DetermineFinalStatusAfterRecover() {}
    virtual void DetermineFinalStatusAfterGenerate() {}
    virtual void CountStatistics(StatisticsRecord& statistics) const;

    // The after-run actions of a successful verify/repair run. Returns true when
    // an extraction now holds the next turn, so the run must not ask the
    // scheduler for the next document itself.
    virtual bool performAfterRunActions();

    // The helper's exit status, waiting for it if needed (-1 when none ran).
    int helperExitStatus();

    // Ask for the window to learn of changes; delivered after the lock is
    // released, or at once when the caller does not hold it.
    // A file found under another name passes its name, for the window to show.
    void noteFileStatusChanged(const QString& emphasizeKey = QString());

    // Guarded by the document lock.
    FileStatusMap m_FileStatus;
    FileStatusMap m_PxxFileStatus;
    std::optional<FileStatusMap> m_PreviousFileStatus;
    QString m_ParMainOutput;

    // Main thread.
    QString m_ChosenDirectory;
    bool m_DocIsUntitled = true;
    bool m_MustStartPARAfterLoadingNib = false;
    bool m_ShowingAddFileSheet = false;
    bool m_UserChoseEncoding = false;
    std::atomic<uint32_t> m_encoding{5};

    mutable std::mutex m_DocumentLock;

private:
    struct ListenToPipeInfo {
        std::shared_ptr<HelperProcess> mPipeOwner;
        OutputPipe mPipe;
        int32_t mNewDocStatus;
    };
    enum WindowUpdate : unsigned {
        StatusUpdate = 1,
        ProgressUpdate = 2,
        FileStatusUpdate = 4,
        OutputAppendUpdate = 8,
        WholeOutputUpdate = 16,
        RefreshUpdate = 32,
        CloseButtonUpdate = 64,
    };
    class LockedScope;
    friend class LockedScope;

    void startReader(const std::shared_ptr<HelperProcess>& process, OutputPipe pipe,
                     int32_t status);
    void ListenToPipe(const ListenToPipeInfo& info);
    void WorkerThreadFinish(OutputPipe pipe);
    void deliverChunk(OutputPipe pipe, const QString& text);
    QStringList helperEnvironment() const;
    bool refuseTooManyArguments(const QStringList& arguments);
    void endFailedLaunch(const QString& problem);
    void settleFinalStatus(int32_t runKind);
    void requestWindowUpdate(unsigned updates, bool waitForWindow);
    void deliverWindowUpdates();
    bool holdsDocumentLock() const;
    PARDocumentController* parDocumentController() const;

    QString m_parToolName;
    DocumentWindowInterface* m_parController = nullptr;

    mutable std::recursive_mutex m_PARStatusLock;
    int32_t m_runKind = RunKind::None;
    bool m_hasRepaired = false;
    mutable std::mutex m_DocStatusLock;
    int32_t m_documentStatus = 0;
    std::atomic<int32_t> m_progress{0};
    std::atomic<int32_t> m_unrarInProgress{UnrarState::None};
    std::atomic<bool> m_abortRequested{false};

    std::recursive_mutex m_ThreadRunCountLock;
    uint32_t m_ThreadRunCount = 0;
    ConditionLock m_ThreadInitLock{0};
    std::recursive_mutex m_ParStdOutThreadRunningLock;
    std::recursive_mutex m_ParStdErrThreadRunningLock;
    bool m_closeWhenReadersExit = false;

    std::mutex m_taskLock;
    std::shared_ptr<HelperProcess> m_ParTask;

    // Window updates waiting for delivery, and the share of the output text the
    // window has already received. Guarded by m_updateLock.
    std::mutex m_updateLock;
    unsigned m_pendingUpdates = 0;
    bool m_deliveryPosted = false;
    qsizetype m_outputDelivered = 0;
    QString m_pendingEmphasizeKey;
    std::atomic<std::thread::id> m_documentLockHolder{};
};
