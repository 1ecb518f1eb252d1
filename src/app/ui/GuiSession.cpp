#include "GuiSession.h"

#include "ApplicationMenus.h"
#include "OpenPanel.h"
#include "app/PARDocumentController.h"
#include "document/MyDocument.h"
#include "document/UnattendedSupport.h"
#include "platform/UserNotificationCenter.h"
#include "window/ParWindow.h"
#include "window/ParWindowController.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

GuiSession::GuiSession(PARDocumentController& controller) : m_controller(controller) {
    AlertPresenter::install(&m_alerts);
    PanelPresenter::install(&m_panels);
    Workspace::install(&m_workspace);
    UserNotificationCenter::shared().setActivationHandler(
        [this](const QVariantMap& userInfo) { m_controller.didActivateNotification(userInfo); });
    m_controller.setDisplayHandler(
        [this](const std::shared_ptr<MyDocument>& document) { showDocument(document); });
}

GuiSession::~GuiSession() {
    m_controller.setDisplayHandler(nullptr);
    Workspace::install(nullptr);
    PanelPresenter::install(nullptr);
    AlertPresenter::install(nullptr);
}

void GuiSession::openAtLaunch(const QStringList& paths) {
    open(paths);
    if (m_controller.documents().isEmpty())
        m_controller.newDocumentOfType(QString());
}

void GuiSession::launchedAgain(const QString& newDocumentType) {
    if (newDocumentType.isEmpty() && bringForward())
        return;
    m_controller.newDocumentOfType(newDocumentType);
}

bool GuiSession::bringForward() {
    QWidget* front = QApplication::activeWindow();
    if (front == nullptr) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowType() != Qt::ToolTip &&
                window->windowType() != Qt::Popup)
                front = window;
        }
    }
    if (front == nullptr)
        return false;
    front->showNormal();
    front->raise();
    front->activateWindow();
    return true;
}

bool GuiSession::quitIfNothingShown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            return false;
    }
    if (!m_controller.documents().isEmpty())
        return false;
    QApplication::quit();
    return true;
}

// The window controller deletes itself when its window has closed.
void GuiSession::showDocument(const std::shared_ptr<MyDocument>& document) {
    auto* windowController = new ParWindowController(document);
    QMainWindow* window = windowController->window();
    // Panels start in the folder of the window's set.
    const auto folder = [weak = std::weak_ptr<MyDocument>(document)] {
        const std::shared_ptr<MyDocument> shown = weak.lock();
        return shown ? shown->chosenDirectory() : QString();
    };
    auto* menus = new ApplicationMenus(window, document, m_controller, m_closing,
                                       [this, window, folder] { openFromPanel(window, folder()); });
    QObject::connect(menus->createAction(), &QAction::triggered, window,
                     [document] { document->saveDocument(); });
    QObject::connect(menus->saveAsAction(), &QAction::triggered, window,
                     [document] { document->saveDocumentAs(); });
    QObject::connect(menus->addFilesAction(), &QAction::triggered, window,
                     [document] { document->PerformAddFile(); });
    QObject::connect(menus->extractArchiveAction(), &QAction::triggered, window,
                     [this, window, folder] { extractFromPanel(window, folder()); });
    QObject::connect(windowController, &ParWindowController::openDocumentRequested, window,
                     [this, window, folder] { openFromPanel(window, folder()); });
    QAction* preferences = m_help.makePreferencesAction(window);
    menus->insertAboveQuit(preferences);
    m_help.addTo(window);
    QObject::connect(windowController, &ParWindowController::preferencesRequested, window,
                     [this, window] { m_help.PerformPreferences(window); });
    windowController->showWindow();
}

void GuiSession::openFromPanel(QMainWindow* parent, const QString& folder) {
    open(OpenPanel::run(parent, folder));
}

// The archive opens after the panel's own event loop has ended; it has no
// document window, only its progress window.
void GuiSession::extractFromPanel(QMainWindow* parent, const QString& folder) {
    const QString archive = OpenPanel::chooseArchive(parent, folder);
    if (!archive.isNull())
        QTimer::singleShot(0, parent, [this, archive] { open({archive}); });
}

void GuiSession::open(const QStringList& paths) {
    for (const QString& path : paths) {
        VLMError error;
        if (!m_controller.openDocumentWithContentsOfURL(path, true, &error) &&
            !error.isUserCancelled())
            VLMLRunCriticalAlertPanel(QString(), QStringLiteral("%@"), QString(), QString(),
                                      QString(), error.localizedDescription());
    }
}
