#pragma once

#include "app/HelpActions.h"
#include "app/VersionCheck.h"

#include <QObject>

class PARDocumentController;
class QAction;
class QMainWindow;
class QMenu;
class QWidget;

// The application's Help commands (check for updates, write to the maker,
// visit the web page) and the Preferences command, for the menu bar of every
// document window. One per session: it owns the version check, so a check
// started from one window reports wherever the user is.
class HelpMenu : public QObject {
    Q_OBJECT
public:
    HelpMenu(PARDocumentController& controller, const ReleaseAddresses& addresses,
             QObject* parent = nullptr);

    // Adds a Help menu to the window's menu bar: the user guide, the version
    // check, mail and web page, About.
    QMenu* addTo(QMainWindow* window);
    // A "Preferences…" item (standard shortcut) that opens the preferences window over `window`.
    QAction* makePreferencesAction(QWidget* window);
    // Runs the preferences window application-modal; values are stored on OK.
    void PerformPreferences(QWidget* parent);

    // At launch: the first-launch question or the silent check.
    void checkAtLaunch() { m_versionCheck.checkAtLaunch(); }
    VersionCheck& versionCheck() { return m_versionCheck; }
    void showUserGuide(QWidget* parent);
    void showAbout(QWidget* parent);

private:
    PARDocumentController& m_controller;
    VersionCheck m_versionCheck;
    HelpActions m_actions;
    ReleaseAddresses m_addresses;
};
