#include "SessionClosing.h"

#include "app/AfterRunActions.h"
#include "app/PARDocumentController.h"
#include "document/MyDocument.h"
#include "document/StatusCodes.h"
#include "platform/AlertPresenter.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "unrar/UnrarDocument.h"
#include "unrar/UnrarProgressionController.h"

#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kClosePollMs = 50;

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

// These questions answer the user's own command, so they are asked even in
// unattended operation; without a presenter nothing closes.
int ask(const QString& title, const QString& message, const QString& defaultButton,
        const QString& alternateButton, const QString& otherButton = QString()) {
    AlertPresenter* presenter = AlertPresenter::current();
    if (presenter == nullptr)
        return kAlertAlternateReturn;
    AlertRequest request;
    request.severity = AlertSeverity::Informational;
    request.title = title;
    request.message = message;
    request.defaultButton = defaultButton;
    request.alternateButton = alternateButton;
    request.otherButton = otherButton;
    return presenter->runModal(request);
}

const char* workVerbKey(const MyDocument& document) {
    if (document.m_UnrarInProgress() == UnrarState::Running)
        return "CloseWhileExtracting";
    if (document.m_PARIsRunning() == RunKind::Create)
        return "CloseWhileCreating";
    if (document.m_DocumentStatus() == DocStatus::Repairing)
        return "CloseWhileRepairing";
    return "CloseWhileVerifying";
}

// Saving a new set starts its creation run, which needs the application; the
// close is therefore given up and the save panel opens instead.
SessionClosing::Decision askAboutUnsavedSet(MyDocument& document) {
    const int answer =
        ask(formatString(text("UnsavedSetTitle"), SessionClosing::displayName(document)),
            text("UnsavedSetMessage"), text("UnsavedSetSaveButton"), text("CancelButton"),
            text("UnsavedSetDontSaveButton"));
    if (answer == kAlertOtherReturn)
        return SessionClosing::Decision::Close;
    if (answer == kAlertDefaultReturn)
        document.saveDocumentAs();
    return SessionClosing::Decision::Keep;
}

bool isWorking(const Document& document) {
    if (const auto* set = dynamic_cast<const MyDocument*>(&document))
        return set->anyProcessRunning() && !set->isWaitingForExclusiveProcessing();
    return document.isProcessing();
}

void closeWhenIdle(const std::weak_ptr<Document>& weak) {
    const std::shared_ptr<Document> document = weak.lock();
    if (!document || document->isClosed())
        return;
    auto* set = dynamic_cast<MyDocument*>(document.get());
    if (set == nullptr)
        return; // an archive closes itself when its extraction ends
    if (set->anyProcessRunning() && !set->isWaitingForExclusiveProcessing()) {
        QTimer::singleShot(kClosePollMs, [weak] { closeWhenIdle(weak); });
        return;
    }
    set->closeWhenReadersExit();
}

} // namespace

QString SessionClosing::displayName(const MyDocument& document) {
    if (document.docIsUntitled() || document.fileName().isEmpty())
        return text("UntitledDocumentName");
    return QFileInfo(document.fileName()).fileName();
}

bool SessionClosing::isUnsavedNewSet(const MyDocument& document) {
    return document.supportCreation() && document.isDocumentEdited() &&
           document.m_DocumentStatus() == DocStatus::ReadyToCreate &&
           document.m_PARIsRunning() == RunKind::None && document.numSubjectFiles() > 0;
}

SessionClosing::Decision SessionClosing::askBeforeClosing(MyDocument& document) {
    if (isUnsavedNewSet(document))
        return askAboutUnsavedSet(document);
    if (!isWorking(document))
        return Decision::Close;
    const int answer = ask(formatString(text(workVerbKey(document)), displayName(document)),
                           QString(), text("StopAndCloseButton"), text("CancelButton"));
    return answer == kAlertDefaultReturn ? Decision::StopThenClose : Decision::Keep;
}

void SessionClosing::stopThenClose(const std::shared_ptr<Document>& document) {
    if (auto* archive = dynamic_cast<UnrarDocument*>(document.get())) {
        if (UnrarProgressionController* extraction = archive->unrarController())
            extraction->onCancelButton();
        else
            archive->close();
        return;
    }
    auto* set = dynamic_cast<MyDocument*>(document.get());
    if (set == nullptr) {
        document->close();
        return;
    }
    if (set->CanPerformAbortAction())
        set->PerformAbortAction();
    if (set->m_UnrarInProgress() != UnrarState::None) {
        const AfterRunActions* actions = AfterRunActions::of(*set);
        if (UnrarProgressionController* extraction = actions ? actions->unrarController() : nullptr)
            extraction->onCancelButton();
    }
    closeWhenIdle(document);
}

bool SessionClosing::askAboutUnsavedSets() {
    for (const std::shared_ptr<Document>& document : m_controller.documents()) {
        auto* set = dynamic_cast<MyDocument*>(document.get());
        if (set != nullptr && isUnsavedNewSet(*set) && askAboutUnsavedSet(*set) == Decision::Keep)
            return false;
    }
    return true;
}

bool SessionClosing::askAboutWork(Ending ending) {
    int working = 0;
    int waiting = 0;
    for (const std::shared_ptr<Document>& document : m_controller.documents()) {
        if (document->isWaitingForExclusiveProcessing())
            ++waiting;
        else if (isWorking(*document))
            ++working;
    }
    if (working == 0 && waiting == 0)
        return true;
    QStringList parts;
    if (working > 0)
        parts.append(working == 1 ? text("SetsWorkingOne")
                                  : formatString(text("SetsWorkingMany"), working));
    if (waiting > 0)
        parts.append(waiting == 1 ? text("SetsWaitingOne")
                                  : formatString(text("SetsWaitingMany"), waiting));
    const QString title =
        formatString(text("SetsStillWorkingTitle"), parts.join(text("SetsWorkingAnd")));
    const bool quitting = ending == Ending::Quit;
    return ask(title, text(quitting ? "SetsStopOnQuitMessage" : "SetsStopOnCloseAllMessage"),
               text(quitting ? "StopAndQuitButton" : "StopAndCloseAllButton"),
               text("CancelButton")) == kAlertDefaultReturn;
}

// Waiting documents leave first, so that no stop hands the turn to one of them.
void SessionClosing::closeEverything() {
    const QList<std::shared_ptr<Document>> documents = m_controller.documents();
    for (const std::shared_ptr<Document>& document : documents) {
        if (document->isWaitingForExclusiveProcessing())
            stopThenClose(document);
    }
    for (const std::shared_ptr<Document>& document : documents) {
        if (!document->isClosed())
            stopThenClose(document);
    }
}

bool SessionClosing::closeAll() {
    if (!askAboutUnsavedSets() || !askAboutWork(Ending::CloseAll))
        return false;
    closeEverything();
    return true;
}

bool SessionClosing::quit(std::function<void()> quitApplication) {
    if (!askAboutUnsavedSets() || !askAboutWork(Ending::Quit))
        return false;
    closeEverything();
    auto* poll = new QTimer;
    poll->setInterval(kClosePollMs);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, quitApplication] {
        if (!m_controller.documents().isEmpty())
            return;
        poll->stop();
        poll->deleteLater();
        quitApplication();
    });
    poll->start();
    return true;
}
