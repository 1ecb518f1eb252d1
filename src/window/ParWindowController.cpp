#include "ParWindowController.h"

#include "document/MyDocument.h"
#include "platform/StringTables.h"
#include "window/DocToolbarDelegate.h"
#include "window/ParWindow.h"
#include "window/StatusTexts.h"
#include "window/VelmoraController.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHash>
#include <QMetaMethod>

namespace {

DocumentAction documentActionFor(const QString& action) {
    static const QHash<QString, DocumentAction> actions = {
        {QStringLiteral("PerformRetryRecovery:"), DocumentAction::RetryRecovery},
        {QStringLiteral("PerformPreferences:"), DocumentAction::Preferences},
        {QStringLiteral("PerformAbortAction:"), DocumentAction::AbortAction},
        {QStringLiteral("PerformAddFile:"), DocumentAction::AddFile},
        {QStringLiteral("PerformParRemove:"), DocumentAction::ParRemove},
        {QStringLiteral("saveDocument:"), DocumentAction::SaveDocument},
        {QStringLiteral("saveDocumentAs:"), DocumentAction::SaveDocumentAs},
    };
    return actions.value(action, DocumentAction::Other);
}

} // namespace

ParWindowController::ParWindowController(std::shared_ptr<MyDocument> document)
    : m_document(std::move(document)), mParType(StatusTexts::parTypeOf(*m_document)),
      m_window(std::make_unique<ParWindow>()), m_velmora(new VelmoraController(m_window.get())),
      m_closeHandler([](MyDocument& closing) {
          closing.close();
          return true;
      }) {
    m_velmora->FinishUserInterfaceSetup(m_document.get());
    connect(m_velmora->toolbarDelegate(), &DocToolbarDelegate::actionTriggered, this,
            &ParWindowController::performAction);
    connect(m_velmora, &VelmoraController::documentClosed, this,
            &ParWindowController::documentDidClose);
    connect(m_velmora, &VelmoraController::displayStateChanged, this,
            &ParWindowController::validateToolbarItems);
    connect(m_window.get(), &ParWindow::closeRequested, this,
            &ParWindowController::windowCloseRequested);
    // Some of the document's answers change without a call to the window
    // (an add-files panel, an extraction), so the items are checked regularly too.
    m_validationTimer.setInterval(kValidationIntervalMs);
    connect(&m_validationTimer, &QTimer::timeout, this, &ParWindowController::validateToolbarItems);
    m_validationTimer.start();
    m_document->setParController(m_velmora);
    validateToolbarItems();
}

ParWindowController::~ParWindowController() {
    if (m_document->parController() == m_velmora)
        m_document->setParController(nullptr);
    m_velmora->saveLayoutNow();
}

QString ParWindowController::windowTitleForDocumentDisplayName(const QString& displayName,
                                                               int parType) {
    if (parType == StatusTexts::kPar1)
        return displayName + QStringLiteral(" (PAR 1)");
    if (parType == StatusTexts::kPar2)
        return displayName + QStringLiteral(" (PAR 2)");
    return displayName;
}

QString ParWindowController::displayName() const {
    if (m_document->docIsUntitled() || m_document->fileName().isEmpty())
        return StringTables::localized(QStringLiteral("UntitledDocumentName"));
    return QFileInfo(m_document->fileName()).fileName();
}

void ParWindowController::showWindow() {
    m_window->show();
    m_document->windowControllerDidLoadNib();
    validateToolbarItems();
}

// ---- Toolbar commands ------------------------------------------------------

bool ParWindowController::isReceived(void (ParWindowController::*signal)()) const {
    return isSignalConnected(QMetaMethod::fromSignal(signal));
}

bool ParWindowController::validateToolbarItem(const QString& action) const {
    if (action == QLatin1String("openDocument:"))
        return isReceived(&ParWindowController::openDocumentRequested);
    const DocumentAction documentAction = documentActionFor(action);
    if (documentAction == DocumentAction::Other ||
        m_document->validateToolbarOrMenuItem(documentAction) != 1)
        return false;
    return documentAction != DocumentAction::Preferences ||
           isReceived(&ParWindowController::preferencesRequested);
}

// A command is checked again when it runs, so a stale enabled item does nothing.
void ParWindowController::performAction(const QString& action) {
    if (!validateToolbarItem(action))
        return;
    if (action == QLatin1String("openDocument:"))
        emit openDocumentRequested();
    else if (action == QLatin1String("PerformPreferences:"))
        emit preferencesRequested();
    else if (action == QLatin1String("PerformAddFile:"))
        m_document->PerformAddFile();
    else if (action == QLatin1String("saveDocument:"))
        m_document->saveDocument();
    else if (action == QLatin1String("saveDocumentAs:"))
        m_document->saveDocumentAs();
    else if (action == QLatin1String("PerformRetryRecovery:"))
        m_document->PerformRetryRecovery();
    else if (action == QLatin1String("PerformAbortAction:"))
        m_document->PerformAbortAction();
    else if (action == QLatin1String("PerformParRemove:"))
        m_document->PerformParRemove();
    validateToolbarItems();
}

void ParWindowController::validateToolbarItems() {
    if (m_closing)
        return;
    for (QAction* item : m_velmora->toolbarDelegate()->items())
        item->setEnabled(validateToolbarItem(item->data().toString()));
    m_window->setWindowTitle(windowTitleForDocumentDisplayName(displayName(), mParType));
}

// ---- Closing ---------------------------------------------------------------

// While a run or an extraction is going the window stays, without a question.
void ParWindowController::windowCloseRequested(QCloseEvent* event) {
    if (m_closing)
        return;
    if (!m_velmora->closeButtonEnabled() || !m_document->canClose() ||
        !m_closeHandler(*m_document)) {
        event->ignore();
        return;
    }
    finishClosing();
}

void ParWindowController::documentDidClose() {
    if (m_closing)
        return;
    finishClosing();
    m_window->close();
}

void ParWindowController::finishClosing() {
    m_closing = true;
    m_validationTimer.stop();
    m_velmora->saveLayoutNow();
    m_velmora->detachDocument();
    if (m_document->parController() == m_velmora)
        m_document->setParController(nullptr);
    deleteLater();
}
