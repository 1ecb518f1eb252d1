#include "MyDocument.h"

#include "document/DocumentAfterRun.h"
#include "document/DocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "document/UnattendedSupport.h"
#include "platform/MainThread.h"
#include "platform/StringTables.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <thread>
#include <unistd.h>

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
                document->deliverPostedWindowUpdates();
        });
    }
}

// What the readers report reaches the window at most every kDeliveryIntervalMs:
// each delivery compares the window's copy of the records with the document's,
// which on a set of tens of thousands of files is worth doing only so often.
void MyDocument::deliverPostedWindowUpdates() {
    const qint64 wait =
        m_lastDelivery.isValid() ? kDeliveryIntervalMs - m_lastDelivery.elapsed() : 0;
    if (wait <= 0) {
        deliverWindowUpdates();
        return;
    }
    std::weak_ptr<Document> weak = weak_from_this();
    QTimer::singleShot(wait, [weak] {
        if (auto document = std::static_pointer_cast<MyDocument>(weak.lock()))
            document->deliverWindowUpdates();
    });
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
    m_lastDelivery.start();
    DocumentFileChanges fileChanges;
    QString output;
    {
        std::lock_guard lock(m_DocumentLock);
        if ((updates & FileStatusUpdate) && window->showsFiles()) {
            fileChanges.files =
                m_windowFileStatus.isEmpty() && !m_windowCopyOfListing.isEmpty()
                    ? FileStatusChanges::followFrom(std::exchange(m_windowCopyOfListing, {}),
                                                    m_windowFileStatus, m_FileStatus)
                    : FileStatusChanges::follow(m_windowFileStatus, m_FileStatus);
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
