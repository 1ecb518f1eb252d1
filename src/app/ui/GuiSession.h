#pragma once

#include "app/ReleaseAddresses.h"
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
    // The first-launch question about update checks, or the silent check.
    void checkForUpdatesAtLaunch() { m_help.checkAtLaunch(); }

private:
    void showDocument(const std::shared_ptr<MyDocument>& document);
    void openFromPanel(QMainWindow* parent, const QString& folder);
    void extractFromPanel(QMainWindow* parent, const QString& folder);

    PARDocumentController& m_controller;
    HelpMenu m_help{m_controller, ReleaseAddresses::fromGlobalTable()};
    MessageBoxAlertPresenter m_alerts;
    FileDialogPanelPresenter m_panels;
    DesktopWorkspace m_workspace;
    WidgetSetBuildingPanels m_setBuildingPanels;
    EncodingSheetPresenter m_encodingSheet;
    UnrarUserInterface m_unrarWidgets;
};
