// MyDocument: requesting a run, waiting for the turn, the helper and its two
// readers, and the end of a run.
#include "MyDocument.h"
#include "document/DocumentAfterRun.h"
#include "document/DocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "document/HelperArgumentBudget.h"
#include "document/HelperLocator.h"
#include "document/HelperProcess.h"
#include "document/MyDocumentLockedScope.h"
#include "document/RepairLeftovers.h"
#include "document/StallGuard.h"
#include "document/UnattendedSupport.h"
#include "platform/Analytics.h"
#include "platform/FileNames.h"
#include "platform/MainThread.h"
#include "platform/StringTables.h"
#include "platform/ThreadName.h"
#include "platform/Trash.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>

// ---- Requesting and starting a run -----------------------------------------

void MyDocument::ProcessRepairCurrentFile() {
    if (m_DocIsUntitled || fileName().isEmpty())
        return;
    if (!VerifyPreconditionsForRepair()) {
        setm_DocumentStatus(DocStatus::Aborted);
        return;
    }
    if (!prepareDocForRepairRun())
        return;
    finishStartRepairRun(m_encoding);
}

bool MyDocument::VerifyPreconditionsForRepair() {
    const QString folder = QFileInfo(fileName()).path();
    if (QFileInfo(folder).isWritable())
        return true;
    VLMLRunCriticalAlertPanel(QString(),
                              StringTables::localized(QStringLiteral("FolderReadOnlyErr")),
                              QString(), QString(), QString(), folder);
    return false;
}

void MyDocument::finishStartRepairRun(uint32_t encoding) {
    {
        LockedScope scope(*this);
        m_ParMainOutput.clear();
        m_PreviousFileStatus = m_FileStatus;
        m_FileStatus.clear();
        m_PxxFileStatus.clear();
        m_listedFileNames.clear();
    }
    requestWindowUpdate(WholeOutputUpdate, true);
    m_encoding = encoding;
    noteFileStatusChanged();
    setm_DocumentStatus(DocStatus::WaitingForTurn);
    if (DocumentController* documents = controller())
        documents->registerForStartExclusiveProcessing(this);
    if (m_DocumentStatus() == DocStatus::WaitingForTurn)
        listFilesWhileWaiting();
}

// A set shows the files it lists, read from the set itself, while it waits for
// its turn and while the helper has not yet reported any of them: on a large
// set that first report can take seconds. A reading that comes back later, or
// after another reading was asked for, is dropped.
void MyDocument::listFilesWhileWaiting() {
    std::function<FileStatusMap()> reader = listedFilesReader();
    if (!reader)
        return;
    const uint64_t listing = ++m_filesListing;
    const bool forWindow = m_parController != nullptr;
    std::weak_ptr<Document> weak = weak_from_this();
    std::thread([weak, listing, forWindow, reader = std::move(reader)] {
        setCurrentThreadName(QStringLiteral("ListingThread"));
        lowerCurrentThreadPriority();
        ListedFiles listed;
        listed.files = reader();
        listed.names = QSet<QString>(listed.files.keyBegin(), listed.files.keyEnd());
        // The window's own copy of tens of thousands of records is made here, not on its thread.
        if (forWindow)
            listed.windowCopy = detachedCopy(listed.files);
        MainThread::post([weak, listing, listed = std::move(listed)]() mutable {
            if (auto document = std::static_pointer_cast<MyDocument>(weak.lock()))
                document->showListedFiles(listing, std::move(listed));
        });
    }).detach();
}

void MyDocument::showListedFiles(uint64_t listing, ListedFiles listed) {
    const int32_t status = m_DocumentStatus();
    if (listing != m_filesListing || isClosed() || listed.files.isEmpty() ||
        (status != DocStatus::WaitingForTurn && status != DocStatus::Verifying))
        return;
    LockedScope scope(*this);
    if (!m_FileStatus.isEmpty())
        return;
    m_FileStatus = std::move(listed.files);
    m_listedFileNames = std::move(listed.names);
    if (m_windowFileStatus.isEmpty())
        m_windowCopyOfListing = std::move(listed.windowCopy);
    noteFileStatusChanged();
}

// A run that went to its end reported every file of the set; a listed name it
// never reported is the same file under the spelling the helper used.
// Called with the document lock held.
void MyDocument::dropListedFilesNotReported() {
    const qsizetype before = m_FileStatus.size();
    m_FileStatus.removeIf([this](const std::pair<const QString&, FileStatus&>& entry) {
        return entry.second.fileStatus() == FileCode::NotExamined &&
               m_listedFileNames.contains(entry.first);
    });
    m_listedFileNames.clear();
    if (m_FileStatus.size() != before)
        noteFileStatusChanged();
}

void MyDocument::startExclusiveProcessing() {
    if (m_DocumentStatus() == DocStatus::WaitingForTurn) {
        prepareVerifyRepairLaunch();
    } else if (m_unrarInProgress == UnrarState::Waiting) {
        m_unrarInProgress = UnrarState::Running;
        if (m_parController != nullptr)
            m_parController->setCloseButtonEnabled(false);
        if (m_afterRunActions)
            m_afterRunActions->startExclusiveExtraction();
    }
    if (m_parController != nullptr)
        m_parController->showWindows();
}

// The command line and the names in the folder before the run both come from
// a folder that may hold tens of thousands of files: a worker lists it, and the
// run starts once it is done. The document holds its turn meanwhile.
void MyDocument::prepareVerifyRepairLaunch() {
    if (m_launchPending.exchange(true))
        return;
    std::weak_ptr<Document> weak = weak_from_this();
    std::thread([weak, path = fileName()] {
        setCurrentThreadName(QStringLiteral("LaunchThread"));
        lowerCurrentThreadPriority();
        QStringList arguments;
        if (auto document = std::static_pointer_cast<MyDocument>(weak.lock()))
            arguments = document->makeRepairParamArray(path);
        QStringList namesBefore = RepairLeftovers::namesInFolder(QFileInfo(path).path());
        MainThread::post([weak, arguments = std::move(arguments),
                          namesBefore = std::move(namesBefore)]() mutable {
            if (auto document = std::static_pointer_cast<MyDocument>(weak.lock()))
                document->launchVerifyRepairRun(arguments, std::move(namesBefore));
            else
                passTurnOn();
        });
    }).detach();
}

void MyDocument::launchVerifyRepairRun(const QStringList& arguments, QStringList namesBefore) {
    m_launchPending = false;
    if (isClosed() || m_DocumentStatus() != DocStatus::WaitingForTurn) {
        passTurnOn();
        return;
    }
    if (launchRun(arguments, RunKind::VerifyRepair, std::move(namesBefore)))
        return;
    setm_DocumentStatus(DocStatus::Idle);
    std::weak_ptr<Document> weak = weak_from_this();
    MainThread::post([weak] {
        if (auto document = weak.lock())
            document->close();
    });
    passTurnOn();
}

void MyDocument::passTurnOn() {
    MainThread::post([] {
        if (auto* controller = DocumentController::shared())
            controller->scheduleNextExclusiveProcessing();
    });
}

bool MyDocument::inExclusiveProcessing() const {
    return m_launchPending || m_PARIsRunning() == RunKind::VerifyRepair ||
           m_unrarInProgress == UnrarState::Running;
}

bool MyDocument::isProcessing() const {
    return inExclusiveProcessing() || m_PARIsRunning() != RunKind::None;
}

bool MyDocument::isWaitingForExclusiveProcessing() const {
    return (m_DocumentStatus() == DocStatus::WaitingForTurn && !m_launchPending) ||
           m_unrarInProgress == UnrarState::Waiting;
}

bool MyDocument::anyProcessRunning() const {
    return m_PARIsRunning() != RunKind::None || m_unrarInProgress != UnrarState::None;
}

// ---- The runner ------------------------------------------------------------

// A list of files too long for one command line goes to a helper that can
// scan the set's folder itself; otherwise the run is refused.
bool MyDocument::fitArgumentsToSystem(QStringList& arguments, QStringList& environment,
                                      int32_t runKind) {
    const HelperArgumentBudget budget = HelperArgumentBudget::system();
    const QString program = HelperLocator::pathOf(m_parToolName);
    if (budget.fits(program, arguments, environment))
        return true;
    QStringList ownArguments;
    if (runKind == RunKind::VerifyRepair)
        ownArguments = makeFolderScanRepairParamArray(fileName());
    QStringList scanEnvironment = environment;
    scanEnvironment.append(QString::fromLatin1(kScanFolderVariable) + QStringLiteral("=1"));
    if (!ownArguments.isEmpty() && budget.fits(program, ownArguments, scanEnvironment)) {
        qInfo().noquote() << QStringLiteral("Info: %1 files are too many for one command line; "
                                            "the helper scans the folder of \"%2\" itself")
                                 .arg(arguments.size())
                                 .arg(fileName());
        arguments = std::move(ownArguments);
        environment = std::move(scanEnvironment);
        return true;
    }
    VLMLRunCriticalAlertPanel(QString(), StringTables::localized(QStringLiteral("TooManyFilesErr")),
                              QString(), QString(), QString(), getFilenameExtension());
    return false;
}

bool MyDocument::RunPARTask(const QStringList& arguments, int32_t runKind) {
    return launchRun(arguments, runKind,
                     RepairLeftovers::namesInFolder(QFileInfo(fileName()).path()));
}

bool MyDocument::launchRun(const QStringList& arguments, int32_t runKind, QStringList namesBefore) {
    if (m_PARIsRunning() != RunKind::None)
        return false;
    const int32_t runStatus =
        runKind == RunKind::VerifyRepair ? DocStatus::Verifying : DocStatus::Creating;
    const QString problem = HelperLocator::problemWith(m_parToolName);
    if (!problem.isEmpty()) {
        endFailedLaunch(problem);
        return false;
    }
    QStringList runArguments = arguments;
    QStringList environment = helperEnvironment();
    if (!fitArgumentsToSystem(runArguments, environment, runKind))
        return false;
    auto process = std::make_shared<HelperProcess>();
    if (!process->createPipes()) {
        endFailedLaunch(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    {
        std::lock_guard guard(m_taskLock);
        m_ParTask = process;
    }
    m_abortRequested = false;
    m_helperStalled = false;
    {
        std::lock_guard lock(m_DocumentLock);
        m_namesBeforeRun = std::move(namesBefore);
        m_restoredAfterStop.clear();
    }
    setm_PARIsRunning(runKind);
    const auto stallGuard = std::make_shared<StallGuard>(StallGuard::configuredLimit());
    startReader(process, stallGuard, OutputPipe::StdOut, runStatus);
    startReader(process, stallGuard, OutputPipe::StdErr, runStatus);
    setm_Progression(-1);
    setm_DocumentStatus(runStatus);
    if (!process->launch(HelperLocator::pathOf(m_parToolName), runArguments,
                         QFileInfo(fileName()).path(), environment)) {
        setm_PARIsRunning(RunKind::None);
        endFailedLaunch(process->launchError());
        return false;
    }
    return true;
}

// The readers of a run that never started see the end of their pipes at once
// and leave without ending a run; the user learns which helper failed.
void MyDocument::endFailedLaunch(const QString& problem) {
    VLMLRunCriticalAlertPanel(QString(), StringTables::localized(QStringLiteral("HelperLaunchErr")),
                              QString(), QString(), QString(), m_parToolName, problem);
}

QStringList MyDocument::helperEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VLML_FILENAME_ENCODING"), QString::number(m_encoding));
    // Only a run whose files do not fit on the command line scans the folder.
    environment.remove(QString::fromLatin1(kScanFolderVariable));
    // The list only spares the helper work; one too long for the system to pass
    // goes empty rather than failing the launch.
    const QString consideredOKKey = QStringLiteral("PAR2_FILES_CONSIDERED_OK");
    QString consideredOK = createFilesConsideredOK();
    if (!HelperArgumentBudget::system().fitsString(consideredOKKey + u'=' + consideredOK))
        consideredOK.clear();
    environment.insert(consideredOKKey, consideredOK);
    return environment.toStringList();
}

QString MyDocument::createFilesConsideredOK() const {
    QString names;
    std::lock_guard lock(m_DocumentLock);
    if (!m_PreviousFileStatus)
        return names;
    for (const FileStatus& record : *m_PreviousFileStatus) {
        const int32_t code = record.fileStatus();
        if (code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
            code == FileCode::Repaired)
            names += record.filename() + QLatin1Char('\t');
    }
    return names;
}

void MyDocument::startReader(const std::shared_ptr<HelperProcess>& process,
                             const std::shared_ptr<StallGuard>& stallGuard, OutputPipe pipe,
                             int32_t status) {
    auto self = std::static_pointer_cast<MyDocument>(shared_from_this());
    std::thread([self, info = ListenToPipeInfo{process, pipe, status, stallGuard}] {
        self->ListenToPipe(info);
    }).detach();
    m_ThreadInitLock.lockWhenCondition(1);
    m_ThreadInitLock.unlockWithCondition(0);
}

void MyDocument::ListenToPipe(const ListenToPipeInfo& info) {
    const bool isStdOut = info.mPipe == OutputPipe::StdOut;
    setCurrentThreadName(isStdOut ? QStringLiteral("StdOutThread")
                                  : QStringLiteral("StdErrThread"));
    (isStdOut ? m_ParStdOutThreadRunningLock : m_ParStdErrThreadRunningLock).lock();
    {
        std::lock_guard guard(m_ThreadRunCountLock);
        if (m_ThreadRunCount == 0) {
            std::lock_guard status(m_DocStatusLock);
            m_documentStatus = info.mNewDocStatus;
        }
        ++m_ThreadRunCount;
    }
    m_ThreadInitLock.lock();
    m_ThreadInitLock.unlockWithCondition(1);

    const int fd = isStdOut ? info.mPipeOwner->stdOutReadEnd() : info.mPipeOwner->stdErrReadEnd();
    // A character split between two reads is completed by the next. Names the helper prints
    // as bytes that are not UTF-8 keep those bytes, so two such names stay two files.
    QByteArray pending;
    std::vector<char> buffer(64 * 1024);
    while (waitForPipe(fd, info)) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        info.mStallGuard->noteOutput();
        const QString text = FileNames::decodePiece(pending, QByteArrayView(buffer.data(), count));
        if (!text.isEmpty())
            deliverChunk(info.mPipe, text);
    }
    if (!pending.isEmpty())
        deliverChunk(info.mPipe, FileNames::decodePiece(pending, QByteArrayView()));
    if (info.mPipe == mainOutputPipe() && info.mPipeOwner->isLaunched())
        PARFinished();
    WorkerThreadFinish(info.mPipe);
}

// Waits until the pipe has data or has ended; the standard output reader checks
// the helper for a stall meanwhile. False once a stopped helper is gone: what
// still holds its pipes open (a child it left behind) is not waited for.
bool MyDocument::waitForPipe(int fd, const ListenToPipeInfo& info) {
    pollfd entry{fd, POLLIN, 0};
    const int timeout = int(info.mStallGuard->checkInterval().count());
    for (;;) {
        const int ready = ::poll(&entry, 1, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        // An error is left for read() to report.
        if (ready != 0)
            return true;
        HelperProcess& process = *info.mPipeOwner;
        if (info.mPipe == OutputPipe::StdOut && info.mStallGuard->hasStalled(process.activity()))
            stopStalledHelper(process, info.mStallGuard->limit());
        if ((m_helperStalled || m_abortRequested) && process.hasBeenReaped())
            return false;
    }
}

void MyDocument::stopStalledHelper(HelperProcess& process, std::chrono::milliseconds limit) {
    if (m_helperStalled.exchange(true))
        return;
    qWarning().noquote()
        << QStringLiteral("Error: %1 wrote nothing and used no processor time for %2 s; "
                          "stopping it")
               .arg(m_parToolName)
               .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count());
    process.interrupt();
    process.waitForExit(std::chrono::seconds(5));
}

void MyDocument::deliverChunk(OutputPipe pipe, const QString& text) {
    LockedScope scope(*this);
    const qsizetype before = m_ParMainOutput.size();
    if (pipe == OutputPipe::StdErr)
        ProcessStdErrData(text);
    else
        ProcessStdOutData(text);
    if (m_ParMainOutput.size() != before) {
        std::lock_guard guard(m_updateLock);
        m_pendingUpdates |= OutputAppendUpdate;
    }
}

void MyDocument::WorkerThreadFinish(OutputPipe pipe) {
    bool closeNow = false;
    {
        std::lock_guard guard(m_ThreadRunCountLock);
        --m_ThreadRunCount;
        closeNow = m_ThreadRunCount == 0 && std::exchange(m_closeWhenReadersExit, false);
    }
    if (closeNow) {
        std::weak_ptr<Document> weak = weak_from_this();
        MainThread::post([weak] {
            if (auto document = weak.lock())
                document->close();
        });
    }
    (pipe == OutputPipe::StdOut ? m_ParStdOutThreadRunningLock : m_ParStdErrThreadRunningLock)
        .unlock();
}

void MyDocument::waitForWorkerThreadsFinished() {
    m_ParStdOutThreadRunningLock.lock();
    m_ParStdOutThreadRunningLock.unlock();
    m_ParStdErrThreadRunningLock.lock();
    m_ParStdErrThreadRunningLock.unlock();
}

bool MyDocument::hasLiveReaders() {
    std::lock_guard guard(m_ThreadRunCountLock);
    return m_ThreadRunCount != 0;
}

void MyDocument::closeWhenReadersExit() {
    {
        std::lock_guard guard(m_ThreadRunCountLock);
        if (m_ThreadRunCount != 0) {
            m_closeWhenReadersExit = true;
            return;
        }
    }
    close();
}

void MyDocument::AbortAction() {
    std::shared_ptr<HelperProcess> process;
    {
        std::lock_guard guard(m_taskLock);
        process = m_ParTask;
    }
    if (process && process->interrupt())
        process->waitForExit(std::chrono::seconds(5));
}

int MyDocument::helperExitStatus() {
    std::shared_ptr<HelperProcess> process;
    {
        std::lock_guard guard(m_taskLock);
        process = m_ParTask;
    }
    return process ? process->waitForExit() : -1;
}

// ---- End of a run ----------------------------------------------------------

void MyDocument::PARFinished() {
    const int32_t runKind = m_PARIsRunning();
    setm_Progression(100);
    requestWindowUpdate(FileStatusUpdate | WholeOutputUpdate, true);
    settleFinalStatus(runKind);
    requestWindowUpdate(RefreshUpdate, true);
    Analytics::recordEvent(QStringLiteral("ParFinished"));
    if (runKind == RunKind::VerifyRepair && DocStatus::isSuccessfulOutcome(m_DocumentStatus())) {
        if (performAfterRunActions())
            return;
    }
    MainThread::post([] {
        if (auto* controller = DocumentController::shared())
            controller->scheduleNextExclusiveProcessing();
    });
}

void MyDocument::settleFinalStatus(int32_t runKind) {
    {
        LockedScope scope(*this);
        m_ParMainOutput.append(QLatin1Char('\n'));
        if (runKind == RunKind::VerifyRepair && !m_abortRequested && !m_helperStalled)
            dropListedFilesNotReported();
        if (runKind == RunKind::Create)
            DetermineFinalStatusAfterGenerate();
        else
            DetermineFinalStatusAfterRecover();
    }
    // A run the user stopped never reads as a result, whatever the helper printed
    // while it was being interrupted.
    if (runKind == RunKind::VerifyRepair && (m_abortRequested || m_helperStalled))
        restoreAfterStoppedRepair();
    if (runKind == RunKind::VerifyRepair)
        listDamagedCopies();
    if (runKind == RunKind::VerifyRepair && m_abortRequested)
        setm_DocumentStatus(DocStatus::Aborted);
    else if (m_helperStalled)
        setm_DocumentStatus(DocStatus::HelperStalled);
    if (runKind == RunKind::Create && (m_DocumentStatus() == DocStatus::HelperErrors ||
                                       m_DocumentStatus() == DocStatus::HelperStalled))
        noteCreationFailed();
    setm_PARIsRunning(RunKind::None);
    if (runKind == RunKind::VerifyRepair)
        setm_PARHasRepaired(true);
}

// The helper may still be writing when its output ends: wait for it to go
// before files are put back.
void MyDocument::restoreAfterStoppedRepair() {
    helperExitStatus();
    std::lock_guard lock(m_DocumentLock);
    m_restoredAfterStop = RepairLeftovers::restoreUnfinished(QFileInfo(fileName()).path(),
                                                             m_namesBeforeRun, m_FileStatus);
}

QStringList MyDocument::filesRestoredAfterStop() const {
    std::lock_guard lock(m_DocumentLock);
    return m_restoredAfterStop;
}

// The copies the run left (a stopped run's were put back first) are listed
// with the recovery files, so the window shows every file the repair made.
// The folder is read outside the lock: the window must not wait for it.
void MyDocument::listDamagedCopies() {
    QStringList before;
    QStringList names;
    {
        std::lock_guard lock(m_DocumentLock);
        before = m_namesBeforeRun;
        names = m_FileStatus.keys();
    }
    const QMap<QString, QString> copies =
        RepairLeftovers::damagedCopies(QFileInfo(fileName()).path(), before, names);
    if (copies.isEmpty())
        return;
    LockedScope scope(*this);
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        FileStatus record(it.key(), FileCode::Intact, it.value(), true);
        record.setDamagedCopy(true);
        m_PxxFileStatus.insert(it.key(), record);
    }
    noteFileStatusChanged();
}

QStringList MyDocument::damagedCopiesOfLastRun() const {
    std::lock_guard lock(m_DocumentLock);
    QStringList copies;
    for (const FileStatus& record : m_PxxFileStatus) {
        if (record.isDamagedCopy() && record.removal() == FileStatus::Removal::None)
            copies.append(record.filename());
    }
    return copies;
}

QStringList MyDocument::recoveryFileNames() const {
    std::lock_guard lock(m_DocumentLock);
    QStringList names;
    for (const FileStatus& record : m_PxxFileStatus) {
        if (!record.isDamagedCopy())
            names.append(record.filename());
    }
    return names;
}

// Only files that were there count: a file the helper reported without it
// being on disk was not removed by anyone.
void MyDocument::noteRemovedFiles(const QStringList& removedNames) {
    const QSet<QString> names(removedNames.cbegin(), removedNames.cend());
    const QString folder = QFileInfo(fileName()).path();
    bool changed = false;
    const auto mark = [&](FileStatus& record) {
        const QString path = folder + u'/' + record.filename();
        if (record.removal() != FileStatus::Removal::None || !names.contains(record.filename()) ||
            FileNames::kindAt(path) != FileNames::Kind::None)
            return;
        record.setRemoval(Trash::wasMovedToTrash(path) ? FileStatus::Removal::MovedToTrash
                                                       : FileStatus::Removal::Deleted);
        changed = true;
    };
    {
        LockedScope scope(*this);
        for (FileStatus& record : m_FileStatus) {
            const int32_t code = record.fileStatus();
            if (code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
                code == FileCode::Repaired)
                mark(record);
        }
        for (FileStatus& record : m_PxxFileStatus)
            mark(record);
    }
    if (changed)
        noteFileStatusChanged();
}

QString MyDocument::retryRecoveryProblem() const {
    if (!QFileInfo::exists(fileName()))
        return StringTables::localized(QStringLiteral("RetryRecoverySetGone"));
    std::lock_guard lock(m_DocumentLock);
    // A damaged copy the run made is no file of the set: its going leaves the set whole.
    const auto removed = [](const FileStatus& record) {
        return record.removal() != FileStatus::Removal::None && !record.isDamagedCopy();
    };
    if (std::any_of(m_FileStatus.cbegin(), m_FileStatus.cend(), removed) ||
        std::any_of(m_PxxFileStatus.cbegin(), m_PxxFileStatus.cend(), removed))
        return StringTables::localized(QStringLiteral("RetryRecoveryFilesRemoved"));
    return QString();
}

// The placeholder's save marked the document as saved, but no set exists: it
// is unsaved again, and Create stays open for another try.
void MyDocument::noteCreationFailed() {
    m_creationFailed = true;
    MainThread::post([weak = weak_from_this()] {
        if (const std::shared_ptr<Document> document = weak.lock())
            document->updateChangeCount(ChangeKind::Done);
    });
}

bool MyDocument::performAfterRunActions() {
    return m_afterRunActions && m_afterRunActions->performAfterRunActions();
}
