#include "MyDocument.h"

#include "document/DocumentAfterRun.h"
#include "document/DocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "document/HelperArgumentBudget.h"
#include "document/HelperLocator.h"
#include "document/HelperProcess.h"
#include "document/RepairLeftovers.h"
#include "document/StallGuard.h"
#include "document/UnattendedSupport.h"
#include "platform/Analytics.h"
#include "platform/FileNames.h"
#include "platform/MainThread.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/ThreadName.h"
#include "platform/Trash.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>

// Holds the document lock for the hooks and delivers the window updates they
// asked for once it is released.
class MyDocument::LockedScope {
public:
    explicit LockedScope(MyDocument& document) : m_document(document) {
        m_document.m_DocumentLock.lock();
        m_document.m_documentLockHolder = std::this_thread::get_id();
    }
    ~LockedScope() {
        m_document.m_documentLockHolder = std::thread::id();
        m_document.m_DocumentLock.unlock();
        m_document.requestWindowUpdate(0, false);
    }

private:
    MyDocument& m_document;
};

namespace {

std::atomic<SetBuildingPanels*> gSetBuildingPanels{nullptr};

// A typed number: ASCII digits only, an empty text reads as 0. Large values
// stop growing at 1000, beyond every range the dialogs accept.
std::optional<int32_t> digitsValue(const QString& text) {
    int32_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1000);
    }
    return value;
}

// The name without all its extensions: archive.tar.gz gives archive. A dot
// that starts the name begins no extension.
QString withoutExtensions(const QString& name) {
    QString base = name;
    for (qsizetype dot; (dot = base.lastIndexOf(u'.')) > 0;)
        base.truncate(dot);
    return base;
}

void showCriticalAlert(const QString& message) {
    VLMLRunCriticalAlertPanel(QString(), QStringLiteral("%@"), QString(), QString(), QString(),
                              message);
}

} // namespace

void SetBuildingPanels::install(SetBuildingPanels* panels) {
    gSetBuildingPanels = panels;
}

SetBuildingPanels* SetBuildingPanels::current() {
    return gSetBuildingPanels;
}

namespace {
std::unique_ptr<DocumentAfterRun> makeAfterRunActions(MyDocument& document) {
    DocumentController* controller = DocumentController::shared();
    return controller != nullptr ? controller->makeAfterRunActions(document) : nullptr;
}
} // namespace

MyDocument::MyDocument(const QString& parToolName)
    : m_parToolName(parToolName), m_afterRunActions(makeAfterRunActions(*this)) {}

MyDocument::~MyDocument() = default;

// ---- Opening ---------------------------------------------------------------

bool MyDocument::initWithContentsOfURL(const QString& location, const QString& type,
                                       VLMError* error) {
    const QUrl url(location);
    const bool isPlainPath = url.scheme().isEmpty() || location.startsWith(QLatin1Char('/'));
    if (!isPlainPath && !url.isLocalFile()) {
        if (error != nullptr)
            *error = VLMError(VLMError::kVelmoraDomain, 0,
                              {{VLMError::kLocalizedDescriptionKey,
                                StringTables::localized(QStringLiteral("CannotOpenURLErr"))
                                    .replace(QStringLiteral("%@"), location)}});
        return false;
    }
    const QString path = isPlainPath ? location : url.toLocalFile();
    if (FileIsTrashed(path)) {
        if (error != nullptr)
            *error = VLMError(VLMError::kVelmoraDomain, 0,
                              {{VLMError::kLocalizedDescriptionKey,
                                StringTables::localized(QStringLiteral("PARIsInTrashErr"))}});
        return false;
    }
    if (error != nullptr)
        *error = VLMError();
    return readFromFile(QFileInfo(path).absoluteFilePath(), type);
}

bool MyDocument::readFromFile(const QString& path, const QString& type) {
    setFileName(path);
    setFileType(type);
    m_DocIsUntitled = false;
    SetChosenDirectory(path);
    m_MustStartPARAfterLoadingNib = true;
    return true;
}

bool MyDocument::FileIsTrashed(const QString& path) {
    const QString folder = QFileInfo(path).path();
    if (folder.contains(QStringLiteral("/.Trash")))
        return true;
    const QString userTrash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/Trash");
    const QString cleanFolder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return cleanFolder == userTrash || cleanFolder.startsWith(userTrash + QLatin1Char('/'));
}

void MyDocument::SetChosenDirectory(const QString& path) {
    m_ChosenDirectory = QFileInfo(path).path();
}

// ---- Window ----------------------------------------------------------------

void MyDocument::windowControllerDidLoadNib() {
    requestWindowUpdate(ProgressUpdate | StatusUpdate | FileStatusUpdate | WholeOutputUpdate, true);
    if (m_MustStartPARAfterLoadingNib) {
        m_MustStartPARAfterLoadingNib = false;
        ProcessRepairCurrentFile();
    }
}

void MyDocument::UpdateUI() {
    noteFileStatusChanged();
}

void MyDocument::noteFileStatusChanged(const QString& emphasizeKey) {
    if (!emphasizeKey.isNull()) {
        std::lock_guard guard(m_updateLock);
        m_pendingEmphasizeKey = emphasizeKey;
    }
    requestWindowUpdate(FileStatusUpdate, true);
}

bool MyDocument::holdsDocumentLock() const {
    return m_documentLockHolder.load() == std::this_thread::get_id();
}

// Window updates are collected and delivered on the main thread. A caller that
// holds the document lock never waits for the main thread: its updates go out
// when the lock is released. Pending updates coalesce, so a stream of output
// costs at most one delivery per turn of the event loop.
void MyDocument::requestWindowUpdate(unsigned updates, bool waitForWindow) {
    bool post = false;
    {
        std::lock_guard guard(m_updateLock);
        m_pendingUpdates |= updates;
        if (m_pendingUpdates == 0 || holdsDocumentLock())
            return;
        if (!MainThread::isCurrent() && !waitForWindow && !m_deliveryPosted)
            post = m_deliveryPosted = true;
    }
    if (MainThread::isCurrent()) {
        deliverWindowUpdates();
    } else if (waitForWindow) {
        MainThread::runSync([this] { deliverWindowUpdates(); });
    } else if (post) {
        std::weak_ptr<Document> weak = weak_from_this();
        MainThread::post([weak] {
            if (auto document = std::static_pointer_cast<MyDocument>(weak.lock()))
                document->deliverWindowUpdates();
        });
    }
}

// Without a window nothing is copied. A window hears only of the records that
// changed since it was last told; the document keeps what it told it.
void MyDocument::deliverWindowUpdates() {
    unsigned updates = 0;
    qsizetype delivered = 0;
    QString emphasizeKey;
    {
        std::lock_guard guard(m_updateLock);
        updates = std::exchange(m_pendingUpdates, 0);
        emphasizeKey = std::exchange(m_pendingEmphasizeKey, QString());
        m_deliveryPosted = false;
        delivered = m_outputDelivered;
    }
    DocumentWindowInterface* window = m_parController;
    if (updates == 0 || window == nullptr)
        return;
    DocumentFileChanges fileChanges;
    QString output;
    {
        std::lock_guard lock(m_DocumentLock);
        if ((updates & FileStatusUpdate) && window->showsFiles()) {
            fileChanges.files = FileStatusChanges::follow(m_windowFileStatus, m_FileStatus);
            fileChanges.pxxFiles =
                FileStatusChanges::follow(m_windowPxxFileStatus, m_PxxFileStatus);
        }
        if (updates & (OutputAppendUpdate | WholeOutputUpdate)) {
            if (m_ParMainOutput.size() < delivered)
                updates |= WholeOutputUpdate;
            output = (updates & WholeOutputUpdate) ? detachedCopy(m_ParMainOutput)
                                                   : detachedCopy(m_ParMainOutput.mid(delivered));
            std::lock_guard guard(m_updateLock);
            m_outputDelivered = m_ParMainOutput.size();
        }
    }
    if (updates & StatusUpdate)
        window->StatusChanged(this, m_DocumentStatus());
    if (updates & ProgressUpdate)
        window->ProgressionChanged(this, m_progress);
    if ((updates & FileStatusUpdate) && window->showsFiles() &&
        (!fileChanges.isEmpty() || !emphasizeKey.isEmpty()))
        window->FileStatusChanged(this, fileChanges, emphasizeKey);
    if (updates & WholeOutputUpdate)
        window->ParOutputChanged(this, output);
    else if ((updates & OutputAppendUpdate) && !output.isEmpty())
        window->ParOutputAppended(this, output);
    if (updates & CloseButtonUpdate)
        window->setCloseButtonEnabled(m_PARIsRunning() == RunKind::None);
    if (updates & RefreshUpdate)
        window->RefreshUI();
}

void MyDocument::setParController(DocumentWindowInterface* window) {
    m_parController = window;
    m_windowFileStatus.clear();
    m_windowPxxFileStatus.clear();
}

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
    }
    requestWindowUpdate(WholeOutputUpdate, true);
    m_encoding = encoding;
    noteFileStatusChanged();
    setm_DocumentStatus(DocStatus::WaitingForTurn);
    if (DocumentController* documents = controller())
        documents->registerForStartExclusiveProcessing(this);
}

void MyDocument::startExclusiveProcessing() {
    if (m_DocumentStatus() == DocStatus::WaitingForTurn) {
        if (!RunPARTask(makeRepairParamArray(fileName()), RunKind::VerifyRepair)) {
            setm_DocumentStatus(DocStatus::Idle);
            std::weak_ptr<Document> weak = weak_from_this();
            MainThread::post([weak] {
                if (auto document = weak.lock())
                    document->close();
            });
            MainThread::post([] {
                if (auto* controller = DocumentController::shared())
                    controller->scheduleNextExclusiveProcessing();
            });
        }
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

bool MyDocument::inExclusiveProcessing() const {
    return m_PARIsRunning() == RunKind::VerifyRepair || m_unrarInProgress == UnrarState::Running;
}

bool MyDocument::isProcessing() const {
    return inExclusiveProcessing() || m_PARIsRunning() != RunKind::None;
}

bool MyDocument::isWaitingForExclusiveProcessing() const {
    return m_DocumentStatus() == DocStatus::WaitingForTurn ||
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
        m_namesBeforeRun = RepairLeftovers::namesInFolder(QFileInfo(fileName()).path());
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
    // Stateful: a character split between two reads is completed by the next.
    QStringDecoder decoder(QStringDecoder::Utf8);
    std::vector<char> buffer(64 * 1024);
    while (waitForPipe(fd, info)) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        info.mStallGuard->noteOutput();
        const QString text = decoder.decode(QByteArrayView(buffer.data(), count));
        if (!text.isEmpty())
            deliverChunk(info.mPipe, text);
    }
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
        if (runKind == RunKind::Create)
            DetermineFinalStatusAfterGenerate();
        else
            DetermineFinalStatusAfterRecover();
    }
    // A run the user stopped never reads as a result, whatever the helper printed
    // while it was being interrupted.
    if (runKind == RunKind::VerifyRepair && (m_abortRequested || m_helperStalled))
        restoreAfterStoppedRepair();
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

QStringList MyDocument::damagedCopiesOfLastRun() const {
    std::lock_guard lock(m_DocumentLock);
    return RepairLeftovers::damagedCopies(QFileInfo(fileName()).path(), m_namesBeforeRun,
                                          m_FileStatus.keys());
}

// Only files that were there count: a file the helper reported without it
// being on disk was not removed by anyone.
void MyDocument::noteRemovedFiles(const QStringList& names) {
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
    const auto removed = [](const FileStatus& record) {
        return record.removal() != FileStatus::Removal::None;
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

// ---- User actions ----------------------------------------------------------

void MyDocument::PerformAbortAction() {
    if (!CanPerformAbortAction())
        return;
    const int32_t runKind = m_PARIsRunning();
    m_abortRequested = true;
    if (m_parController != nullptr)
        m_parController->StopRequested(this);
    if (runKind != RunKind::Create) {
        AbortAction();
        setm_Progression(0);
        setm_DocumentStatus(DocStatus::Aborted);
        return;
    }
    // The end of a creation run turns status 3 into 10. The helper's output can
    // end as soon as it is interrupted, so the status is set before that.
    setm_DocumentStatus(DocStatus::Aborted);
    AbortAction();
    setm_Progression(0);
    updateChangeCount(ChangeKind::Done);
    RecoverFileStateAfterAbortedGenerate();
}

void MyDocument::PerformRetryRecovery() {
    if (!CanPerformRetryRecovery())
        return;
    if (FileIsTrashed(fileName())) {
        VLMLRunCriticalAlertPanel(QString(),
                                  StringTables::localized(QStringLiteral("PARIsInTrashErr")),
                                  QString(), QString(), QString());
        return;
    }
    ProcessRepairCurrentFile();
}

// The kind of entry is read from the name's own bytes: a file whose name is
// not UTF-8 can be protected too.
int32_t MyDocument::CanFileBeAdded(const QString& path) const {
    const QFileInfo info(path);
    const FileNames::Kind kind = FileNames::kindAt(path);
    if (!supportCreation())
        return 0;
    if (kind == FileNames::Kind::RegularFile) {
        std::lock_guard lock(m_DocumentLock);
        if (m_FileStatus.contains(info.fileName()) ||
            info.suffix().compare(getFilenameExtension(), Qt::CaseInsensitive) == 0)
            return 0;
        if (!m_ChosenDirectory.isEmpty() && info.path() != m_ChosenDirectory)
            return 0;
        return 1;
    }
    if (kind == FileNames::Kind::Folder) {
        const QString folder = info.absoluteFilePath();
        return m_ChosenDirectory.isEmpty() || m_ChosenDirectory.startsWith(folder) ? -1 : 0;
    }
    return 0;
}

int MyDocument::AddFile(const QString& path, bool updateUI) {
    const QFileInfo info(path);
    {
        LockedScope scope(*this);
        if (m_FileStatus.contains(info.fileName()))
            return 0;
        if (m_ChosenDirectory.isEmpty())
            m_ChosenDirectory = info.path();
        m_FileStatus.insert(info.fileName(), FileStatus(info.fileName(), FileCode::ToBeProtected));
        m_PxxFileStatus.clear();
        dropFilesNotInFolder();
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
    }
    if (updateUI)
        noteFileStatusChanged();
    setm_Progression(0);
    setm_DocumentStatus(DocStatus::ReadyToCreate);
    updateChangeCount(ChangeKind::Done);
    return 0;
}

// A verified set turns into a set being built: a file that is not there (a
// missing file of the old set) cannot be protected, so it leaves the list.
// Called with the document lock held.
void MyDocument::dropFilesNotInFolder() {
    m_FileStatus.removeIf([this](const std::pair<const QString&, FileStatus&>& entry) {
        return FileNames::kindAt(m_ChosenDirectory + u'/' + entry.first) !=
               FileNames::Kind::RegularFile;
    });
}

QString MyDocument::whyFileCannotBeAdded(const QString& path) const {
    const QFileInfo info(path);
    QString key;
    if (info.isSymLink())
        key = QStringLiteral("AddRefusedLink");
    else if (info.isDir())
        key = QStringLiteral("AddRefusedFolder");
    else if (!info.exists())
        key = QStringLiteral("AddRefusedMissing");
    else if (!info.isFile())
        key = QStringLiteral("AddRefusedSpecial");
    else if (!m_ChosenDirectory.isEmpty() && info.path() != m_ChosenDirectory)
        key = QStringLiteral("AddRefusedOtherFolder");
    else if (info.suffix().compare(getFilenameExtension(), Qt::CaseInsensitive) == 0)
        key = QStringLiteral("AddRefusedRecoveryFile");
    else
        key = QStringLiteral("AddRefusedInSet");
    return StringTables::localized(key);
}

void MyDocument::reportFilesNotAdded(const QStringList& paths) const {
    QStringList lines;
    for (const QString& path : paths) {
        if (CanFileBeAdded(path) != 1)
            lines.append(QStringLiteral("\u201C%1\u201D %2")
                             .arg(QFileInfo(path).fileName(), whyFileCannotBeAdded(path)));
    }
    if (lines.isEmpty() || !supportCreation())
        return;
    VLMLRunInformationalAlertPanel(QString(),
                                   StringTables::localized(QStringLiteral("FilesNotAddedInfo")),
                                   QString(), QString(), QString(), lines.join(u'\n'));
}

void MyDocument::PerformAddFile() {
    SetBuildingPanels* panels = setBuildingPanels();
    if (!CanPerformAddFile() || panels == nullptr)
        return;
    m_ShowingAddFileSheet = true;
    panels->beginAddFilesPanel(sharedDocument());
}

void MyDocument::addFilesPanelDidEnd(const QStringList& chosenPaths) {
    if (!chosenPaths.isEmpty())
        addFiles(chosenPaths);
    m_ShowingAddFileSheet = false;
}

// A name typed into a panel is not filtered like the entries it shows, and
// the first file fixes the folder for the ones after it: each path is checked
// again as it comes.
void MyDocument::addFiles(const QStringList& paths) {
    if (!checkRoomForFiles(int(paths.size())))
        return;
    int skipped = 0;
    QStringList refused;
    for (const QString& path : paths) {
        if (CanFileBeAdded(path) == 1)
            skipped += AddFile(path, false);
        else
            refused.append(path);
    }
    noteFileStatusChanged();
    reportFilesNotAdded(refused);
    if (skipped != 0)
        VLMLRunInformationalAlertPanel(
            QString(), StringTables::localized(QStringLiteral("ResourceForkWarning")), QString(),
            QString(), QString());
}

void MyDocument::PerformParRemove() {
    if (!CanPerformParRemove())
        return;
    const QStringList selected = m_parController->SelectedFiles();
    bool anyLeft = false;
    {
        LockedScope scope(*this);
        for (const QString& name : selected)
            m_FileStatus.remove(name);
        m_PxxFileStatus.clear();
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
        anyLeft = !m_FileStatus.isEmpty();
    }
    if (anyLeft) {
        setm_DocumentStatus(DocStatus::ReadyToCreate);
        updateChangeCount(ChangeKind::Done);
    } else {
        setm_DocumentStatus(DocStatus::Idle);
        m_ChosenDirectory.clear();
        updateChangeCount(ChangeKind::Cleared);
    }
    setm_Progression(0);
    noteFileStatusChanged();
    m_parController->NoSelection();
}

// ---- Saving a new set ------------------------------------------------------

SetBuildingPanels* MyDocument::setBuildingPanels() const {
    SetBuildingPanels* panels = SetBuildingPanels::current();
    if (panels == nullptr)
        qWarning().noquote() << QStringLiteral("Error: no panels to build a recovery set with");
    return panels;
}

std::shared_ptr<MyDocument> MyDocument::sharedDocument() {
    return std::static_pointer_cast<MyDocument>(shared_from_this());
}

void MyDocument::saveDocument() {
    saveDocumentWithDelegate(getDefaultNumberForSaveOptions(), parType());
}

void MyDocument::saveDocumentAs() {
    SetBuildingPanels* panels = setBuildingPanels();
    if (CanSaveDocumentAs() && panels != nullptr)
        panels->beginSavePanel(sharedDocument());
}

void MyDocument::saveDocumentWithDelegate(int32_t initialNum, int32_t parType) {
    SetBuildingPanels* panels = setBuildingPanels();
    if (!CanSaveDocumentAs() || panels == nullptr)
        return;
    if (fileName().isEmpty())
        panels->beginSavePanel(sharedDocument());
    else
        panels->beginSaveOptionsSheet(sharedDocument(), parType, initialNum);
}

MyDocument::SavePanelSetup MyDocument::prepareSavePanel() {
    SavePanelSetup setup;
    setup.designatedDirectory = m_ChosenDirectory;
    setup.fileName = m_DocIsUntitled ? SuggestPARFileName() : QFileInfo(fileName()).fileName();
    // Files with different names are protected under their folder's name, so
    // that Enter alone creates a set with a sensible name.
    if (setup.fileName.isEmpty()) {
        const QString folderName = QDir(m_ChosenDirectory).dirName();
        setup.fileName = folderName.isEmpty() || folderName == QLatin1String(".")
                             ? StringTables::localized(QStringLiteral("UntitledDocumentName"))
                             : folderName;
        setup.fileName += QLatin1Char('.') + getFilenameExtension();
    }
    setup.number = getDefaultNumberForSaveOptions();
    setup.parType = parType();
    return setup;
}

QString MyDocument::SuggestPARFileName() const {
    QStringList names;
    {
        std::lock_guard lock(m_DocumentLock);
        names = m_FileStatus.keys();
    }
    if (names.isEmpty())
        return QString();
    const QString base = withoutExtensions(names.first());
    for (const QString& name : names) {
        if (withoutExtensions(name).compare(base, Qt::CaseInsensitive) != 0)
            return QString();
    }
    return base + QLatin1Char('.') + getFilenameExtension();
}

// Only the last component of the typed name counts: the set goes into the
// folder of its files. The extension is the set type's, in the case the
// helper writes it.
MyDocument::SaveLocation MyDocument::checkSaveLocation(const QString& typedName) const {
    SaveLocation location;
    const QString extension = getFilenameExtension();
    QString name = QFileInfo(typedName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.sliced(dot + 1).compare(extension, Qt::CaseInsensitive) == 0)
        name.truncate(dot);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        location.problem =
            formatString(StringTables::localized(QStringLiteral("BadSetNameErr")), typedName);
        return location;
    }
    name += QLatin1Char('.') + extension;
    // The set's own files are written and checked through Qt, which cannot
    // name them when their path is not UTF-8.
    if (!FileNames::isPlainUtf8(name) || !FileNames::isPlainUtf8(m_ChosenDirectory)) {
        location.problem = formatString(StringTables::localized(QStringLiteral("BadSetNameErr")),
                                        FileNames::displayName(typedName));
        return location;
    }
    const QDir folder(m_ChosenDirectory);
    const QString typedFolder = QFileInfo(folder.absoluteFilePath(typedName)).absolutePath();
    location.folderCorrected = QDir::cleanPath(typedFolder) != QDir::cleanPath(m_ChosenDirectory);
    const QFileInfo existing(folder.filePath(name));
    if (existing.isSymLink() || (existing.exists() && !existing.isFile())) {
        location.problem =
            formatString(StringTables::localized(QStringLiteral("SetNameTakenErr")), name);
        return location;
    }
    location.replacesFile = existing.exists();
    location.path = existing.filePath();
    return location;
}

QString MyDocument::panelUserEnteredFilename(const QString& typedName, const QString& numberText,
                                             SavePanelField* refusedField) {
    const auto refuse = [refusedField](SavePanelField field) {
        *refusedField = field;
        return QString();
    };
    const std::optional<int32_t> number = savePanelNumber(numberText);
    if (!number) {
        showCriticalAlert(StringTables::localized(QStringLiteral("WrongNumPARErr")));
        return refuse(SavePanelField::Number);
    }
    const SaveLocation location = checkSaveLocation(typedName);
    if (location.path.isNull()) {
        showCriticalAlert(location.problem);
        return refuse(SavePanelField::Name);
    }
    setm_NumSpecifiedInSaveOptions(*number);
    if (location.folderCorrected)
        VLMLRunAlertPanel(QString(),
                          StringTables::localized(QStringLiteral("PathCorrectedWarning")),
                          QString(), QString(), QString(), m_ChosenDirectory);
    if (location.replacesFile &&
        VLMLRunAlertPanel(QString(), StringTables::localized(QStringLiteral("ReplaceSetQuestion")),
                          StringTables::localized(QStringLiteral("ReplaceButton")),
                          StringTables::localized(QStringLiteral("CancelButton")), QString(),
                          QFileInfo(location.path).fileName()) != kAlertDefaultReturn)
        return refuse(SavePanelField::Name);
    *refusedField = SavePanelField::None;
    return location.path;
}

std::optional<int32_t> MyDocument::savePanelNumber(const QString& text) {
    const std::optional<int32_t> value = digitsValue(text);
    return value && *value < 100 ? value : std::nullopt;
}

std::optional<int32_t> MyDocument::saveOptionsNumber(const QString& text, int32_t parType) {
    const std::optional<int32_t> value = digitsValue(text);
    const auto [lowest, highest] = parType == ParType::Par1 ? std::pair(0, 99) : std::pair(1, 100);
    return value && *value >= lowest && *value <= highest ? value : std::nullopt;
}

std::optional<int32_t> MyDocument::acceptSaveOptionsNumber(const QString& text, int32_t parType) {
    const std::optional<int32_t> value = saveOptionsNumber(text, parType);
    if (!value)
        showCriticalAlert(StringTables::localized(parType == ParType::Par1
                                                      ? QStringLiteral("WrongNumPARErr")
                                                      : QStringLiteral("WrongPar2RedundancyErr")));
    return value;
}

void MyDocument::saveOptionsFinishedWithNumPnn(int32_t number) {
    setm_NumSpecifiedInSaveOptions(number);
    saveToLocation(fileName());
}

bool MyDocument::saveToLocation(const QString& path) {
    if (m_PARIsRunning() != RunKind::None)
        return false;
    setFileName(path);
    QFile placeholder(path);
    if (placeholder.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        placeholder.write(dataRepresentationOfType()) == dataRepresentationOfType().size())
        updateChangeCount(ChangeKind::Cleared);
    placeholder.close();
    return documentDidSave();
}

// Runs whether or not the placeholder could be written: the helper tells.
bool MyDocument::documentDidSave() {
    m_DocIsUntitled = false;
    if (!RemoveStrayPnnFiles()) {
        QFile::remove(fileName());
        showCriticalAlert(StringTables::localized(QStringLiteral("CantDeletePnnErr")));
        updateChangeCount(ChangeKind::Done);
        return false;
    }
    QStringList subjectFiles;
    {
        LockedScope scope(*this);
        m_ParMainOutput.clear();
        // A file that left the folder since it was added cannot be protected; the
        // helper would refuse the whole set for it.
        for (const QString& name : m_FileStatus.keys()) {
            if (FileNames::kindAt(m_ChosenDirectory + u'/' + name) == FileNames::Kind::RegularFile)
                subjectFiles.append(name);
        }
    }
    requestWindowUpdate(WholeOutputUpdate, true);
    QFile::remove(fileName());
    prepareDocForCreateRun();
    const QStringList arguments = makeCreateParamArray(
        fileName(), subjectFiles,
        {{QStringLiteral("NumSpecifiedInSaveOptions"), m_numSpecifiedInSaveOptions}});
    m_creationFailed = false;
    if (arguments.isEmpty() || !RunPARTask(arguments, RunKind::Create)) {
        setm_DocumentStatus(DocStatus::Idle);
        m_creationFailed = true;
        updateChangeCount(ChangeKind::Done);
        return false;
    }
    return true;
}

void MyDocument::RecoverFileStateAfterAbortedGenerate() {
    {
        LockedScope scope(*this);
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
        m_PxxFileStatus.clear();
    }
    noteFileStatusChanged();
    RemoveStrayPnnFiles();
}

// ---- Enabling --------------------------------------------------------------

bool MyDocument::CanPerformAbortAction() const {
    return m_PARIsRunning() != RunKind::None && !m_abortRequested;
}

bool MyDocument::CanPerformRetryRecovery() const {
    const int32_t status = m_DocumentStatus();
    return m_PARHasRepaired() && m_PARIsRunning() == RunKind::None &&
           status != DocStatus::WaitingForTurn && status != DocStatus::ReadyToCreate &&
           !m_ShowingAddFileSheet && m_unrarInProgress == UnrarState::None &&
           retryRecoveryProblem().isNull();
}

bool MyDocument::CanPerformAddFile() const {
    return supportCreation() && m_PARIsRunning() == RunKind::None && !m_ShowingAddFileSheet &&
           m_unrarInProgress == UnrarState::None && m_DocumentStatus() != DocStatus::WaitingForTurn;
}

bool MyDocument::CanPerformParRemove() const {
    return supportCreation() && m_PARIsRunning() == RunKind::None && m_parController != nullptr &&
           m_parController->NumSelectedFiles() > 0 && m_unrarInProgress == UnrarState::None &&
           m_DocumentStatus() != DocStatus::WaitingForTurn;
}

bool MyDocument::CanSaveDocumentAs() const {
    const bool toBeCreated = m_DocumentStatus() == DocStatus::ReadyToCreate || m_creationFailed;
    return supportCreation() && toBeCreated && m_PARIsRunning() == RunKind::None &&
           numSubjectFiles() > 0 && isDocumentEdited() && m_unrarInProgress == UnrarState::None;
}

int MyDocument::validateToolbarOrMenuItem(DocumentAction action) const {
    switch (action) {
    case DocumentAction::RetryRecovery:
        return CanPerformRetryRecovery();
    case DocumentAction::AddFile:
        return CanPerformAddFile();
    case DocumentAction::ParRemove:
        return CanPerformParRemove();
    case DocumentAction::SaveDocument:
    case DocumentAction::SaveDocumentAs:
        return CanSaveDocumentAs();
    case DocumentAction::AbortAction:
        return CanPerformAbortAction();
    case DocumentAction::EmailToAuthor:
    case DocumentAction::VisitWebPage:
    case DocumentAction::Preferences:
    case DocumentAction::NewDocument:
        return 1;
    case DocumentAction::Terminate: {
        const DocumentController* controller = this->controller();
        return controller == nullptr || !controller->anyDocIsProcessing();
    }
    case DocumentAction::Other:
        break;
    }
    return -1;
}

void MyDocument::close() {
    if (isClosed())
        return;
    if (DocumentWindowInterface* window = std::exchange(m_parController, nullptr))
        window->documentDidClose();
    Document::close();
}

bool MyDocument::canClose() const {
    return !anyProcessRunning();
}

// ---- State -----------------------------------------------------------------

int32_t MyDocument::m_PARIsRunning() const {
    std::lock_guard guard(m_PARStatusLock);
    return m_runKind;
}

void MyDocument::setm_PARIsRunning(int32_t runKind) {
    {
        std::lock_guard guard(m_PARStatusLock);
        m_runKind = runKind;
    }
    requestWindowUpdate(CloseButtonUpdate, false);
}

bool MyDocument::m_PARHasRepaired() const {
    std::lock_guard guard(m_PARStatusLock);
    return m_hasRepaired;
}

void MyDocument::setm_PARHasRepaired(bool repaired) {
    std::lock_guard guard(m_PARStatusLock);
    m_hasRepaired = repaired;
}

int32_t MyDocument::m_DocumentStatus() const {
    std::lock_guard guard(m_DocStatusLock);
    return m_documentStatus;
}

void MyDocument::setm_DocumentStatus(int32_t status) {
    {
        std::lock_guard guard(m_DocStatusLock);
        m_documentStatus = status;
    }
    requestWindowUpdate(StatusUpdate, true);
}

void MyDocument::setm_Progression(int32_t percent) {
    m_progress = percent;
    requestWindowUpdate(ProgressUpdate, true);
}

FileStatusMap MyDocument::fileStatusSnapshot() const {
    std::lock_guard lock(m_DocumentLock);
    return detachedCopy(m_FileStatus);
}

FileStatusMap MyDocument::pxxFileStatusSnapshot() const {
    std::lock_guard lock(m_DocumentLock);
    return detachedCopy(m_PxxFileStatus);
}

QString MyDocument::ParOutput() const {
    std::lock_guard lock(m_DocumentLock);
    return detachedCopy(m_ParMainOutput);
}

int MyDocument::numSubjectFiles() const {
    std::lock_guard lock(m_DocumentLock);
    return int(m_FileStatus.size());
}

StatisticsRecord MyDocument::statistics() const {
    StatisticsRecord statistics;
    std::lock_guard lock(m_DocumentLock);
    CountStatistics(statistics);
    return statistics;
}

void MyDocument::CountStatistics(StatisticsRecord& statistics) const {
    statistics = StatisticsRecord();
}
