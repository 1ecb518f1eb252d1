#include "UnrarProgressionController.h"

#include "document/DocumentController.h"
#include "document/UnattendedSupport.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ProgressTexts.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/ThreadName.h"
#include "unrar/RarPasswordProbe.h"
#include "unrar/RarSegments.h"
#include "unrar/UnrarNotifications.h"
#include "unrar/UnrarPasswordList.h"
#include "unrar/UnrarPasswordPrompt.h"
#include "unrar/UnrarProgressPresenter.h"
#include "unrar/VLMUnrarLibGlue.h"
#include "unrar/VLMUnrarProgressionControllerDelegate.h"

#include <QDebug>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>
#include <cmath>
#include <thread>

namespace {

const QString kResultPathKey = QStringLiteral("unrarresultpath");
// The UnRAR library's ERAR_MISSING_PASSWORD and ERAR_BAD_PASSWORD.
constexpr int kMissingPasswordCode = 22;
constexpr int kBadPasswordCode = 24;

QString localized(const char* key) {
    return StringTables::localized(QString::fromLatin1(key));
}

bool unattended() {
    return Preferences::boolForKey(PrefKey::UnattendedOperation);
}

QString fileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

std::shared_ptr<UnrarProgressionController> UnrarProgressionController::create() {
    return std::shared_ptr<UnrarProgressionController>(new UnrarProgressionController);
}

UnrarProgressionController::~UnrarProgressionController() {
    if (m_glue)
        m_glue->setDelegate(nullptr);
}

QString UnrarProgressionController::archiveFileName() const {
    return fileNameOf(m_archivePath);
}

// ---- Setting up ------------------------------------------------------------

void UnrarProgressionController::setupForParDocument(DocumentWindowInterface* docWindow,
                                                     const QString& archivePath,
                                                     const QString& outputDir) {
    m_archivePath = archivePath;
    m_outputDirPath = outputDir;
    if (unattended()) {
        const QString destination =
            outputDir.isNull() ? QFileInfo(archivePath).absolutePath() : outputDir;
        qInfo().noquote() << QStringLiteral("Info: ") + formatString(localized("UnrarAnnouncement"),
                                                                     archivePath, destination);
    }
    createUI(docWindow, archivePath);
}

void UnrarProgressionController::setupForUnrarDocument(const QString& archivePath,
                                                       const QString& outputDir) {
    setupForParDocument(nullptr, archivePath, outputDir);
}

void UnrarProgressionController::createUI(DocumentWindowInterface* docWindow,
                                          const QString& archivePath) {
    m_runAsSheet = docWindow != nullptr;
    UnrarProgressPresenter* presenter = UnrarProgressPresenter::current();
    if (presenter == nullptr)
        return;
    m_view = presenter->makeView(*this, docWindow, archivePath);
    if (!m_view)
        return;
    m_view->setStatusText(localized("UnrarStatus1"));
    m_view->setIndeterminate();
    m_view->setCurrentFileText(QString());
}

// ---- Running ---------------------------------------------------------------

void UnrarProgressionController::startExclusiveProcessing() {
    if (m_started || m_ended)
        return;
    m_started = true;
    const QStringList candidates = UnrarPasswordList::candidates();
    if (candidates.isEmpty())
        startGlue();
    else
        probePasswordsThenStart(candidates);
}

// The probe runs the library on a thread of its own; the glue starts on the
// main thread once it has answered, unless the user canceled meanwhile.
void UnrarProgressionController::probePasswordsThenStart(const QStringList& candidates) {
    std::weak_ptr<UnrarProgressionController> weak = weak_from_this();
    std::thread([weak, archive = m_archivePath, candidates] {
        setCurrentThreadName(QStringLiteral("PasswordProbe"));
        std::optional<QString> password = RarPasswordProbe::findPassword(archive, candidates);
        MainThread::post([weak, password = std::move(password)] {
            auto self = weak.lock();
            if (!self || self->m_ended)
                return;
            self->m_knownPassword = password;
            self->m_givenPasswordsRefused = !password;
            self->startGlue();
        });
    }).detach();
}

void UnrarProgressionController::startGlue() {
    m_glue = VLMUnrarLibGlue::initWithRarFile(
        QUrl::fromLocalFile(m_archivePath),
        m_outputDirPath.isNull() ? QUrl() : QUrl::fromLocalFile(m_outputDirPath));
    m_glue->setDelegate(this);
    m_glue->startUnrar();
    if (m_view)
        m_view->setStatusText(localized("UnrarStatus2"));
}

void UnrarProgressionController::onCancelButton() {
    if (m_ended)
        return;
    if (m_glue)
        m_glue->stopUnrarAsync();
    else
        endWithOutcome(UnrarOutcome::Canceled, VLMError());
}

// ---- Events from the glue --------------------------------------------------

void UnrarProgressionController::unrarLibGlueStartedUnrar(VLMUnrarLibGlue*) {
    m_progressClock.start();
    if (m_view)
        m_view->setIndeterminate();
}

void UnrarProgressionController::unrarLibGlueProgress(VLMUnrarLibGlue*, double progress,
                                                      qint64 byteCount,
                                                      const QString& currentFile) {
    if (!m_view)
        return;
    if (progress >= 0.0 && std::isfinite(progress))
        m_view->setProgress(progress);
    m_view->setCurrentFileText(
        formatString(QStringLiteral("%@ - %@"), amountText(progress, byteCount), currentFile));
}

// "523 MB of 1.2 GB (43 % – about 2 min left)"; the total follows from the
// share done, which the glue measures against the archive's unpacked size.
QString UnrarProgressionController::amountText(double progress, qint64 byteCount) const {
    if (!(progress > 0.0) || !std::isfinite(progress))
        return sizeText(byteCount);
    const auto total = qint64(std::llround(double(byteCount) / std::min(progress, 1.0)));
    return formatString(localized("UnrarAmountOfTotal"), ProgressTexts::sizeText(byteCount),
                        ProgressTexts::sizeText(total),
                        ProgressTexts::percentText(progress, m_progressClock.elapsed()));
}

QString UnrarProgressionController::sizeText(qint64 byteCount) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const quint64 kibibytes = quint64(byteCount) >> 10;
    if (byteCount <= 1048575)
        return locale.toString(kibibytes) + QStringLiteral(" KB");
    if (byteCount <= 1073741823)
        return locale.toString(quint64(double(kibibytes) / 1024.0 + 0.5)) + QStringLiteral(" MB");
    return locale.toString(double(kibibytes) / 1048576.0, 'f', 2) + QStringLiteral(" GB");
}

int UnrarProgressionController::unrarLibGlueActionForExistingOutput(VLMUnrarLibGlue*,
                                                                    const QUrl& existingOutput) {
    switch (Preferences::integerForKey(PrefKey::UnrarTargetExistsAction)) {
    case TargetExistsValue::Overwrite:
        return ExistingOutputAction::Overwrite;
    case TargetExistsValue::KeepBoth:
        return ExistingOutputAction::KeepBoth;
    case TargetExistsValue::Cancel:
        notifyUserAutomaticCancel(existingOutput);
        return ExistingOutputAction::Cancel;
    default:
        if (unattended())
            return ExistingOutputAction::KeepBoth;
        return askUserForOutputExistsAction(existingOutput);
    }
}

int UnrarProgressionController::askUserForOutputExistsAction(const QUrl& existingOutput) {
    if (m_view)
        m_view->questionWillShow();
    const int answer = VLMLRunInformationalAlertPanel(
        formatString(localized("UnrarFileExistsTitle"), archiveFileName()),
        localized("UnrarFileExistsWarning"), localized("UnrarFileExistsKeepBothButton"),
        localized("UnrarFileExistsCancelButton"), localized("UnrarFileExistsOverwriteButton"),
        existingOutput.toLocalFile());
    if (m_view)
        m_view->questionDidEnd();
    if (answer == kAlertDefaultReturn)
        return ExistingOutputAction::KeepBoth;
    if (answer == kAlertOtherReturn)
        return ExistingOutputAction::Overwrite;
    return ExistingOutputAction::Cancel;
}

void UnrarProgressionController::notifyUserAutomaticCancel(const QUrl& existingOutput) {
    postNotification("UnrarAutomaticallyCanceledTitle",
                     formatString(localized("UnrarDestinationExistsText"),
                                  fileNameOf(existingOutput.toLocalFile())),
                     m_glue ? m_glue->effectiveOutputItem().toLocalFile() : QString());
}

std::optional<QString>
UnrarProgressionController::unrarLibGluePasswordForFile(VLMUnrarLibGlue*, const QString& fileName,
                                                        bool* applyToAll) {
    if (applyToAll != nullptr)
        *applyToAll = false;
    if (m_knownPassword)
        return m_knownPassword;
    const QString shownName = fileName.isEmpty() ? archiveFileName() : fileName;
    if (unattended()) {
        qWarning().noquote() << QStringLiteral("Error: ") +
                                    formatString(localized("UnattendedUnrarPasswordErr"),
                                                 shownName);
        return QString();
    }
    return askUserForPassword(shownName);
}

// A cancelled question ends the extraction as cancelled: the user knows why it
// stopped, so no error follows.
std::optional<QString> UnrarProgressionController::askUserForPassword(const QString& shownName) {
    UnrarPasswordPrompt* prompt = UnrarPasswordPrompt::current();
    if (prompt == nullptr)
        return std::nullopt;
    if (m_view)
        m_view->questionWillShow();
    std::optional<QString> password = prompt->doItForFileName(
        shownName, [this](const QString& candidate) { return archiveMayAccept(candidate); });
    if (m_view)
        m_view->questionDidEnd();
    if (!password) {
        m_passwordDeclined = true;
        if (m_glue)
            m_glue->stopUnrarAsync();
    }
    return password;
}

// The probe reads the archive, which may take a while for a RAR 4 archive; the
// main thread keeps serving events meanwhile.
bool UnrarProgressionController::archiveMayAccept(const QString& password) const {
    QEventLoop loop;
    bool refused = false;
    std::thread probe([&loop, &refused, archive = m_archivePath, password] {
        setCurrentThreadName(QStringLiteral("PasswordProbe"));
        refused = RarPasswordProbe::refuses(archive, password);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    probe.join();
    return !refused;
}

void UnrarProgressionController::unrarLibGlueEnded(VLMUnrarLibGlue*, int result,
                                                   const VLMError& error) {
    endWithOutcome(result, error);
}

// ---- The end ---------------------------------------------------------------

void UnrarProgressionController::endWithOutcome(int outcome, const VLMError& error) {
    if (m_ended)
        return;
    m_ended = true;
    // The delegate may drop this controller in any of the calls below.
    const std::shared_ptr<UnrarProgressionController> self = shared_from_this();
    if (m_view)
        m_view->runEnded();
    if (outcome == UnrarOutcome::Failed && m_passwordDeclined)
        outcome = UnrarOutcome::Canceled;
    m_result.outcome = outcome;
    if (outcome == UnrarOutcome::Finished)
        finishSuccessfulUnrar();
    else if (outcome == UnrarOutcome::Failed)
        finishFailedUnrar(error);
    if (m_glue) {
        m_glue->setDelegate(nullptr);
        m_glue.reset();
    }
    if (m_delegate != nullptr)
        m_delegate->unrarFinished();
    if (m_view)
        m_view->close();
    if (m_delegate != nullptr)
        m_delegate->unrarProgressionControllerDidEnd(this);
}

void UnrarProgressionController::finishSuccessfulUnrar() {
    m_result.outputPath = m_glue->effectiveOutputItem().toLocalFile();
    postNotification("UnrarSuccessNotificationTitle", QString(), m_result.outputPath);
    deleteSegments();
    if (m_delegate != nullptr)
        m_delegate->unrarSucceeded();
}

void UnrarProgressionController::deleteSegments() {
    const int option = Preferences::integerForKey(PrefKey::DeleteSegOption);
    if (option != DeleteSegValue::MoveToTrash && option != DeleteSegValue::DeletePermanently)
        return;
    // Exactly the volumes the library read: a stranger's file named like a
    // further volume is not part of the archive.
    const QStringList volumes = m_glue->openedVolumes();
    if (option == DeleteSegValue::MoveToTrash)
        TrashRarSegments(volumes);
    else
        PermanentlyDeleteRarSegments(volumes);
    for (const QString& volume : volumes) {
        if (!QFileInfo(volume).exists() && !QFileInfo(volume).isSymLink())
            m_result.deletedFiles.append(fileNameOf(volume));
    }
}

void UnrarProgressionController::finishFailedUnrar(const VLMError& failure) {
    // Passwords were given ahead and none opened the archive: the password is
    // wrong, not missing.
    const bool missingPassword =
        failure.domain() == VLMError::kUnrarDomain && failure.code() == kMissingPasswordCode;
    const VLMError error = missingPassword && m_givenPasswordsRefused
                               ? VLMError(VLMError::kUnrarDomain, kBadPasswordCode)
                               : failure;
    QString text = error.errorText();
    const QString path = error.userInfo().value(VLMUnrarLibGlue::kFilePathInErrorKey).toString();
    const QString unknown = QStringLiteral("<?>");
    if (error.domain() == VLMError::kUnrarDomain && error.code() == 15)
        text = formatString(text, path.isEmpty() ? unknown : fileNameOf(path));
    else if (error.domain() == VLMError::kUnrarLibGlueDomain &&
             error.code() == VLMUnrarLibGlue::kExistingOutputNotReplaceable)
        text = formatString(text, path.isEmpty() ? unknown : path);
    m_result.errorText = text;
    const DocumentController* controller = DocumentController::shared();
    const unsigned waiting = controller != nullptr ? controller->numWaitingDocuments() : 0;
    if (!unattended() && waiting < 1)
        VLMLRunCriticalAlertPanel(archiveFileName(), QStringLiteral("%@"), QString(), QString(),
                                  QString(), text);
    else
        postNotification("UnrarFailedNotificationTitle", text);
}

// Desktop notifications have no subtitle line: it opens the body.
void UnrarProgressionController::postNotification(const char* titleKey,
                                                  const QString& informativeText,
                                                  const QString& resultPath) {
    QString body = formatString(localized("UnrarNotificationSubtitle"), archiveFileName());
    if (!informativeText.isEmpty())
        body += u'\n' + informativeText;
    QVariantMap userInfo;
    QString actionTitle;
    if (!resultPath.isEmpty()) {
        userInfo.insert(kResultPathKey, resultPath);
        actionTitle = localized("UnrarShowInFinderButton");
    }
    UnrarNotifications::deliver(localized(titleKey), body, actionTitle, userInfo);
}
