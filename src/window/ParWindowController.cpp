#include "ParWindowController.h"

#include "app/PARDocumentController.h"
#include "app/SessionClosing.h"
#include "document/MyDocument.h"
#include "document/StatusCodes.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "window/DocToolbarDelegate.h"
#include "window/ParWindow.h"
#include "window/StatusLine.h"
#include "window/StatusTexts.h"
#include "window/VelmoraController.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMetaMethod>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kUsualToolTip = "velmoraUsualToolTip";

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

// "holiday.par2 (PAR 2) — ~/a": the folder follows when another open set has
// the same name.
QString ParWindowController::windowTitle() const {
    QString title = windowTitleForDocumentDisplayName(displayName(), mParType);
    const QString folder = QFileInfo(m_document->fileName()).absolutePath();
    if (!m_document->docIsUntitled() && anotherSetHasTheSameName())
        title += QStringLiteral(" — ") + homeAbbreviated(folder);
    return title;
}

QString ParWindowController::homeAbbreviated(const QString& folder) {
    const QString home = QDir::homePath();
    if (folder == home)
        return QStringLiteral("~");
    if (folder.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + folder.mid(home.size());
    return folder;
}

bool ParWindowController::anotherSetHasTheSameName() const {
    const PARDocumentController* controller = PARDocumentController::sharedDocumentController();
    if (controller == nullptr || m_document->fileName().isEmpty())
        return false;
    const QString name = QFileInfo(m_document->fileName()).fileName();
    for (const std::shared_ptr<Document>& other : controller->documents()) {
        const auto* set = dynamic_cast<const MyDocument*>(other.get());
        if (set != nullptr && set != m_document.get() && !set->docIsUntitled() &&
            QFileInfo(set->fileName()).fileName() == name)
            return true;
    }
    return false;
}

// A window restored to the saved frame would open exactly over the last one;
// it moves down and right until its corner is clear of the others'. Corners
// count as the same within the offset: a shown window's position includes the
// frame the window manager added, a window not yet shown has none.
void ParWindowController::cascadeFromOpenWindows() {
    QList<QPoint> taken;
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != m_window.get() && other->isVisible() && qobject_cast<ParWindow*>(other))
            taken.append(other->pos());
    }
    const auto isTaken = [&taken](QPoint corner) {
        return std::any_of(taken.begin(), taken.end(), [corner](QPoint other) {
            return std::abs(other.x() - corner.x()) < kCascadeOffset &&
                   std::abs(other.y() - corner.y()) < kCascadeOffset;
        });
    };
    QPoint corner = m_window->pos();
    if (!isTaken(corner))
        return; // moving it anyway would keep the window manager from placing it
    for (int step = 0; step < kMaxCascadeSteps && isTaken(corner); ++step)
        corner += QPoint(kCascadeOffset, kCascadeOffset);
    m_window->move(corner);
}

void ParWindowController::showWindow() {
    cascadeFromOpenWindows();
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
    explainRetryRecovery();
    m_window->setWindowTitle(windowTitle());
    showPlaceInLine();
}

// The scheduler takes the waiting sets in document order; the place changes
// without a call to the window, so the regular check keeps it current.
void ParWindowController::showPlaceInLine() {
    if (m_document->m_DocumentStatus() != DocStatus::WaitingForTurn)
        return;
    const PARDocumentController* controller = PARDocumentController::sharedDocumentController();
    if (controller == nullptr)
        return;
    int place = 1;
    for (const std::shared_ptr<Document>& other : controller->documents()) {
        if (other.get() == m_document.get())
            break;
        if (other->isWaitingForExclusiveProcessing())
            ++place;
    }
    const QString text =
        formatString(StringTables::localized(QStringLiteral("WaitingInLine")), ordinal(place));
    if (m_window->statusLine()->text() != text)
        m_window->statusLine()->showStatus(DocStatus::WaitingForTurn, text);
}

QString ParWindowController::ordinal(int number) {
    const int lastTwo = number % 100;
    const int last = number % 10;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13)
        suffix = last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th";
    return QString::number(number) + QLatin1String(suffix);
}

// A Verify Again that cannot run says why in its tooltip.
void ParWindowController::explainRetryRecovery() {
    for (QAction* item : m_velmora->toolbarDelegate()->items()) {
        if (item->data().toString() != QLatin1String("PerformRetryRecovery:"))
            continue;
        if (!item->property(kUsualToolTip).isValid())
            item->setProperty(kUsualToolTip, item->toolTip());
        // While a run goes, the run is the reason; the set's records need no walk.
        const QString problem = m_document->m_PARIsRunning() == RunKind::None
                                    ? m_document->retryRecoveryProblem()
                                    : QString();
        item->setToolTip(problem.isNull() ? item->property(kUsualToolTip).toString() : problem);
    }
}

// ---- Closing ---------------------------------------------------------------

// A set at work, or a new set never saved, asks first. Stopping closes the
// window once the run is over, through the document's own close.
void ParWindowController::windowCloseRequested(QCloseEvent* event) {
    if (m_closing)
        return;
    event->ignore();
    switch (SessionClosing::askBeforeClosing(*m_document)) {
    case SessionClosing::Decision::Keep:
        return;
    case SessionClosing::Decision::StopThenClose:
        SessionClosing::stopThenClose(m_document);
        return;
    case SessionClosing::Decision::Close:
        break;
    }
    if (!m_document->canClose() || !m_closeHandler(*m_document))
        return;
    event->accept();
    if (!m_closing)
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
