#include "HelpMenu.h"

#include "AboutWindow.h"
#include "UserGuideWindow.h"
#include "platform/StringTables.h"
#include "preferences/ui/PreferencesController.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

} // namespace

HelpMenu::HelpMenu(PARDocumentController& controller, const ReleaseAddresses& addresses,
                   QObject* parent)
    : QObject(parent), m_controller(controller), m_versionCheck(addresses), m_actions(addresses),
      m_addresses(addresses) {}

QMenu* HelpMenu::addTo(QMainWindow* window) {
    QMenu* help = window->menuBar()->addMenu(text("HelpMenu"));
    help->setObjectName(QStringLiteral("helpMenu"));

    QAction* guide = help->addAction(text("UserGuideItem"));
    guide->setObjectName(QStringLiteral("userGuideAction"));
    guide->setShortcut(QKeySequence::HelpContents);
    connect(guide, &QAction::triggered, this, [this, window] { showUserGuide(window); });
    help->addSeparator();

    QAction* check = help->addAction(text("CheckForUpdatesItem"));
    check->setObjectName(QStringLiteral("checkForUpdatesAction"));
    check->setMenuRole(QAction::ApplicationSpecificRole);
    connect(check, &QAction::triggered, &m_versionCheck, &VersionCheck::PerformCheckUpdate);

    help->addSeparator();
    QAction* mail = help->addAction(text("WriteToMakerItem"));
    mail->setObjectName(QStringLiteral("writeToMakerAction"));
    mail->setEnabled(m_actions.canEmailAuthor());
    connect(mail, &QAction::triggered, this, [this] { m_actions.PerformEmailToAuthor(); });

    QAction* web = help->addAction(text("VisitWebPageItem"));
    web->setObjectName(QStringLiteral("visitWebPageAction"));
    web->setEnabled(m_actions.canVisitWebPage());
    connect(web, &QAction::triggered, this, [this] { m_actions.PerformVisitWebPage(); });

    help->addSeparator();
    QAction* about = help->addAction(text("AboutItem"));
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this, window] { showAbout(window); });
    return help;
}

void HelpMenu::showUserGuide(QWidget* parent) {
    auto* guide = new UserGuideWindow(parent);
    guide->show();
}

void HelpMenu::showAbout(QWidget* parent) {
    AboutWindow about(m_addresses, parent);
    about.exec();
}

QAction* HelpMenu::makePreferencesAction(QWidget* window) {
    auto* preferences = new QAction(text("PreferencesItem"), window);
    preferences->setObjectName(QStringLiteral("preferencesAction"));
    const QList<QKeySequence> standard = QKeySequence::keyBindings(QKeySequence::Preferences);
    preferences->setShortcut(standard.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Comma)
                                                : standard.constFirst());
    preferences->setMenuRole(QAction::PreferencesRole);
    connect(preferences, &QAction::triggered, this, [this, window] { PerformPreferences(window); });
    return preferences;
}

void HelpMenu::PerformPreferences(QWidget* parent) {
    PreferencesController preferences(m_controller, parent);
    preferences.DoIt();
}
