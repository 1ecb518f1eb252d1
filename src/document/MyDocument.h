#pragma once

#include "document/Document.h"
#include "document/FileStatus.h"
#include "document/SetBuildingPanels.h"
#include "document/StatisticsRecord.h"
#include "document/VLMError.h"
#include "platform/ConditionLock.h"

#include <QElapsedTimer>
#include <QSet>
#include <QStringList>
#include <QVariantMap>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class DocumentAfterRun;
class DocumentWindowInterface;
class HelperProcess;
class StallGuard;
class MyDocument;

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

// Set types, as the save dialogs and the window tell them apart.
namespace ParType {
inline constexpr int32_t Par1 = 1;
inline constexpr int32_t Par2 = 2;
} // namespace ParType

enum class OutputPipe { None, StdOut, StdErr };

// Actions whose menu items and toolbar buttons the document enables.
enum class DocumentAction {
    RetryRecovery,
    AddFile,
    ParRemove,
    SaveDocument,
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
//   ever receives copies, and of the file records only those that changed.
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
    // A new window is told of every record at the next update.
    void setParController(DocumentWindowInterface* window);
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

    // The runner. The folder's names before the run are listed here.
    bool RunPARTask(const QStringList& arguments, int32_t runKind);
    // Blocks until both readers of the last run have exited. Never call it on the
    // main thread while a reader may be waiting for the main thread; use
    // closeWhenReadersExit or hasLiveReaders there.
    void waitForWorkerThreadsFinished();
    // Whether a reader thread of the last run is still alive (never blocks).
    bool hasLiveReaders();
    void AbortAction();
    QString createFilesConsideredOK() const;
    // Set to 1 in the helper's environment when it is to take every regular file
    // of the set's folder as named on its command line.
    static constexpr const char* kScanFolderVariable = "VLML_SCAN_FOLDER";

    // User actions.
    void PerformAbortAction();
    void PerformRetryRecovery();
    void PerformAddFile();
    // The add-files panel ended; no paths when the user cancelled.
    void addFilesPanelDidEnd(const QStringList& chosenPaths);
    bool showingAddFileSheet() const { return m_ShowingAddFileSheet; }
    int32_t CanFileBeAdded(const QString& path) const;
    int AddFile(const QString& path, bool updateUI);
    // Adds the paths that CanFileBeAdded accepts, in order, when the set has room.
    void addFiles(const QStringList& paths);
    // Why a path cannot be added, in a few words ("is a folder").
    QString whyFileCannotBeAdded(const QString& path) const;
    // One alert naming the paths that cannot be added, each with its reason;
    // nothing when all of them can.
    void reportFilesNotAdded(const QStringList& paths) const;
    void PerformParRemove();
    int validateToolbarOrMenuItem(DocumentAction action) const;
    bool CanPerformAbortAction() const;
    bool CanPerformRetryRecovery() const;
    bool CanPerformAddFile() const;
    bool CanPerformParRemove() const;
    // Create and Save As: a new set with files, also again after a creation
    // that failed, so the user can change the files or options and retry.
    bool CanSaveDocumentAs() const;

    // Saving a new set. The save itself writes only a 4-byte placeholder at the
    // chosen place; the helper tool then creates the set there. Main thread.
    struct SavePanelSetup {
        QString designatedDirectory; // the folder of the set's files: the only place to save
        QString fileName;            // prefilled: the suggested name, or the current one
        int32_t number = 0;          // the set type's default number
        int32_t parType = ParType::Par2;
    };
    // Where a typed name puts the new set's main file.
    struct SaveLocation {
        QString path;                 // null when the name is refused
        QString problem;              // why it is refused
        bool folderCorrected = false; // the name pointed into another folder
        bool replacesFile = false;    // a file of that name is there already
    };
    enum class SavePanelField { None, Name, Number };

    // Save: the save panel for a set never saved, else the options sheet.
    void saveDocument();
    // Save As: the save panel at once.
    void saveDocumentAs();
    void saveDocumentWithDelegate(int32_t initialNum, int32_t parType);
    SavePanelSetup prepareSavePanel();
    // The set type's extension after the base name that all subject files share
    // (movie.part01.rar and movie.part02.rar give movie.par2); null when they differ.
    QString SuggestPARFileName() const;
    SaveLocation checkSaveLocation(const QString& typedName) const;
    // The save panel's OK: checks the number and the name, with their alerts, and
    // asks before a file is replaced. Answers the new set's path and keeps the
    // number, or null and the field the user has to correct.
    QString panelUserEnteredFilename(const QString& typedName, const QString& numberText,
                                     SavePanelField* refusedField);
    // The numbers the dialogs accept: ASCII digits only, an empty text reads as
    // 0. The save panel takes 0 to 99; the options sheet 0 to 99 for PAR 1 and
    // 1 to 100 for PAR 2.
    static std::optional<int32_t> savePanelNumber(const QString& text);
    static std::optional<int32_t> saveOptionsNumber(const QString& text, int32_t parType);
    // The options sheet's check, with its alert.
    static std::optional<int32_t> acceptSaveOptionsNumber(const QString& text, int32_t parType);
    void saveOptionsFinishedWithNumPnn(int32_t number);
    // Writes the placeholder at the path and starts the creation run there.
    // Answers whether the run started; nothing happens while a run is going.
    bool saveToLocation(const QString& path);
    static QByteArray dataRepresentationOfType() { return QByteArrayLiteral("stub"); }
    int32_t m_NumSpecifiedInSaveOptions() const { return m_numSpecifiedInSaveOptions; }
    void setm_NumSpecifiedInSaveOptions(int32_t number) { m_numSpecifiedInSaveOptions = number; }

    // Closing.
    bool canClose() const override;
    void close() override;
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
    // Whether the set type is still preparing a verify/repair run that
    // prepareDocForRepairRun left to a worker. Main thread.
    virtual bool isPreparingRun() const { return false; }
    // Reads the names of the set's files from the set itself, without the
    // helper, on a worker thread: records with code 0. None when the set type
    // cannot; an empty map when the file cannot be read.
    virtual std::function<FileStatusMap()> listedFilesReader() const { return {}; }
    virtual QStringList makeRepairParamArray(const QString& parFilePath) = 0;
    // The verify/repair arguments without the folder's files, for a helper that
    // scans the folder itself; none when the helper cannot.
    virtual QStringList makeFolderScanRepairParamArray(const QString&) { return {}; }
    // Why `count` more files would not fit in the set; null when they fit.
    virtual QString roomProblemForAdding(int) const { return QString(); }
    virtual bool checkRoomForFiles(int count) { return count < 0; }
    virtual bool supportCreation() const { return false; }
    virtual QString getFilenameExtension() const = 0;
    virtual int getDefaultNumberForSaveOptions() { return 0; }
    virtual int32_t parType() const { return ParType::Par2; }
    // The helper's arguments for creating the set whose main file is at the path;
    // the parameters hold "NumSpecifiedInSaveOptions". No arguments: no run.
    virtual QStringList makeCreateParamArray(const QString& /*parFilePath*/,
                                             const QStringList& /*subjectFiles*/,
                                             const QVariantMap& /*parParameters*/) {
        return {};
    }
    // Removes the recovery files an earlier or aborted set of the document's
    // name left; false when one of them could not be removed.
    virtual bool RemoveStrayPnnFiles() { return true; }
    virtual OutputPipe mainOutputPipe() const { return OutputPipe::None; }
    virtual void DoAutoDeleteParFiles() {}
    // After an aborted creation run: every subject file is to be protected again,
    // and what the run left is removed.
    virtual void RecoverFileStateAfterAbortedGenerate();

    // End of a run, on the reader of the main output pipe.
    void PARFinished();
    // Marks the records of the named files that are no longer in the folder
    // (moved to the trash or deleted after the run) and tells the window.
    void noteRemovedFiles(const QStringList& removedNames);
    // Why Verify Again cannot run; null when nothing stands in its way.
    QString retryRecoveryProblem() const;
    // What a stopped repair left: the files it put back as they were.
    QStringList filesRestoredAfterStop() const;
    // The damaged copies the last repair made (NAME.1, NAME.bad) that are still
    // there; they are listed with the recovery files, each naming its file.
    QStringList damagedCopiesOfLastRun() const;
    // The recovery-file map's names without the damaged copies.
    QStringList recoveryFileNames() const;
    // Clean-up, post-processing rule or extraction, and closing after a good run;
    // made by the controller of this process, null when the document was made
    // without one.
    DocumentAfterRun* afterRunActions() const { return m_afterRunActions.get(); }

protected:
    explicit MyDocument(const QString& parToolName);

    // Before the arguments of a creation run are made: reset per-run state.
    virtual void prepareDocForCreateRun() {}

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

    // Lends the document's maps and output text to a parser's model for one hook
    // call (the document lock is held) and hands on the status and progress the
    // parser set; the window learns of them once the lock is released.
    template <typename OutputModel> class ModelLoan {
    public:
        ModelLoan(MyDocument& document, OutputModel& model) : m_document(document), m_model(model) {
            lend();
            m_model.m_DocumentStatus = m_status = document.m_DocumentStatus();
            m_model.m_Progress = m_progress = document.m_Progress();
        }
        ~ModelLoan() {
            lend();
            if (m_model.m_DocumentStatus != m_status)
                m_document.setm_DocumentStatus(m_model.m_DocumentStatus);
            if (m_model.m_Progress != m_progress)
                m_document.setm_Progression(m_model.m_Progress);
        }
        ModelLoan(const ModelLoan&) = delete;
        ModelLoan& operator=(const ModelLoan&) = delete;

    private:
        void lend() {
            std::swap(m_model.m_FileStatus, m_document.m_FileStatus);
            std::swap(m_model.m_PxxFileStatus, m_document.m_PxxFileStatus);
            std::swap(m_model.m_ParMainOutput, m_document.m_ParMainOutput);
        }

        MyDocument& m_document;
        OutputModel& m_model;
        int32_t m_status = 0;
        int32_t m_progress = 0;
    };

    // Guarded by the document lock.
    FileStatusMap m_FileStatus;
    FileStatusMap m_PxxFileStatus;
    std::optional<FileStatusMap> m_PreviousFileStatus;
    QString m_ParMainOutput;
    // The folder's names as the last run started, and what a stop put back.
    QStringList m_namesBeforeRun;
    QStringList m_restoredAfterStop;
    // The names a waiting set showed from its own list, before the helper
    // reported on them.
    QSet<QString> m_listedFileNames;

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
        std::shared_ptr<StallGuard> mStallGuard;
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

    void startReader(const std::shared_ptr<HelperProcess>& process,
                     const std::shared_ptr<StallGuard>& stallGuard, OutputPipe pipe,
                     int32_t status);
    void ListenToPipe(const ListenToPipeInfo& info);
    bool waitForPipe(int fd, const ListenToPipeInfo& info);
    void stopStalledHelper(HelperProcess& process, std::chrono::milliseconds limit);
    void WorkerThreadFinish(OutputPipe pipe);
    void deliverChunk(OutputPipe pipe, const QString& text);
    QStringList helperEnvironment() const;
    bool fitArgumentsToSystem(QStringList& arguments, QStringList& environment, int32_t runKind);
    void endFailedLaunch(const QString& problem);
    SetBuildingPanels* setBuildingPanels() const;
    std::shared_ptr<MyDocument> sharedDocument();
    bool documentDidSave();
    void settleFinalStatus(int32_t runKind);
    void restoreAfterStoppedRepair();
    void listDamagedCopies();
    void listFilesWhileWaiting();
    void prepareVerifyRepairLaunch();
    void launchVerifyRepairRun(const QStringList& arguments, QStringList namesBefore);
    bool launchRun(const QStringList& arguments, int32_t runKind, QStringList namesBefore);
    static void passTurnOn();
    // A listing read on a worker: the records, their names, and a copy for the window.
    struct ListedFiles {
        FileStatusMap files;
        QSet<QString> names;
        FileStatusMap windowCopy;
    };
    void showListedFiles(uint64_t listing, ListedFiles listed);
    void dropListedFilesNotReported();
    void dropFilesNotInFolder();
    void noteCreationFailed();
    void requestWindowUpdate(unsigned updates, bool waitForWindow);
    void deliverWindowUpdates();
    void deliverPostedWindowUpdates();
    bool holdsDocumentLock() const;

    QString m_parToolName;
    std::unique_ptr<DocumentAfterRun> m_afterRunActions;
    DocumentWindowInterface* m_parController = nullptr;
    int32_t m_numSpecifiedInSaveOptions = 1;
    // Counts the readings of the set's list; only the latest may fill the table.
    // Main thread.
    uint64_t m_filesListing = 0;
    // A worker lists the folder for a verify/repair run that has its turn.
    std::atomic<bool> m_launchPending = false;

    mutable std::recursive_mutex m_PARStatusLock;
    int32_t m_runKind = RunKind::None;
    bool m_hasRepaired = false;
    mutable std::mutex m_DocStatusLock;
    int32_t m_documentStatus = 0;
    std::atomic<int32_t> m_progress{0};
    std::atomic<int32_t> m_unrarInProgress{UnrarState::None};
    std::atomic<bool> m_abortRequested{false};
    std::atomic<bool> m_helperStalled{false};
    // The last creation left no set: the document is to be created again.
    std::atomic<bool> m_creationFailed{false};

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
    static constexpr qint64 kDeliveryIntervalMs = 100;
    // When the window was last told, and the maps as it was told of them. Main thread.
    QElapsedTimer m_lastDelivery;
    FileStatusMap m_windowFileStatus;
    FileStatusMap m_windowPxxFileStatus;
    // A copy of the listed files made for the window on the listing's worker,
    // until the window's first delivery takes it.
    FileStatusMap m_windowCopyOfListing;
    std::atomic<std::thread::id> m_documentLockHolder{};
};
