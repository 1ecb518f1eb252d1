#pragma once

#include "app/ReleaseAddresses.h"
#include "app/SessionClosing.h"
#include "app/ui/HelpMenu.h"
#include "par2/ui/EncodingSheetPresenter.h"
#include "platform/ui/DesktopWorkspace.h"
#include "platform/ui/FileDialogPanelPresenter.h"
#include "platform/ui/MessageBoxAlertPresenter.h"
#include "unrar/ui/UnrarUserInterface.h"
#include "window/WidgetSetBuildingPanels.h"

#include <QStringList>
#include <memory>

class MyDocument;
class PARDocumentController;
class QMainWindow;

// A windowed run: installs the widget presenters (the extraction's progress
// window and password dialog among them), gives every document a window with
// its menus, and opens the files given at launch (or an untitled document of
// the preferred kind).
class GuiSession {
public:
    explicit GuiSession(PARDocumentController& controller);
    ~GuiSession();

    void openAtLaunch(const QStringList& paths);
    // Opens each file as a document; failures other than a cancelled question
    // are reported in an alert.
    void open(const QStringList& paths);
    // A start without files handed over by a later launch: the frontmost window
    // comes forward; a new set only when nothing is shown.
    void launchedAgain(const QString& newDocumentType);
    // Ends a start whose files opened nothing on screen (a cancelled folder
    // question, say): a process that shows nothing must not stay. True when it quits.
    bool quitIfNothingShown();
    // The first-launch question about update checks, or the silent check.
    void checkForUpdatesAtLaunch() { m_help.checkAtLaunch(); }

private:
    void showDocument(const std::shared_ptr<MyDocument>& document);
    bool bringForward();
    void openFromPanel(QMainWindow* parent, const QString& folder);
    void extractFromPanel(QMainWindow* parent, const QString& folder);

    PARDocumentController& m_controller;
    SessionClosing m_closing{m_controller};
    HelpMenu m_help{m_controller, ReleaseAddresses::fromGlobalTable()};
    MessageBoxAlertPresenter m_alerts;
    FileDialogPanelPresenter m_panels;
    DesktopWorkspace m_workspace;
    WidgetSetBuildingPanels m_setBuildingPanels;
    EncodingSheetPresenter m_encodingSheet;
    UnrarUserInterface m_unrarWidgets;
};
