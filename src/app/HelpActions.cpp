#include "HelpActions.h"

#include "document/UnattendedSupport.h"
#include "platform/StringTables.h"
#include "platform/Workspace.h"

#include <QUrl>
#include <algorithm>

namespace {

bool openAddress(const QString& address) {
    Workspace* workspace = Workspace::current();
    return workspace != nullptr && workspace->openURL(address);
}

// One plain mail address: no further recipients, headers or blanks can ride on it.
bool isMailAddress(const QString& email) {
    static const QString forbidden = QStringLiteral("?&,;:<>\"\\/ \t\r\n");
    return email.count(u'@') == 1 && !email.startsWith(u'@') && !email.endsWith(u'@') &&
           std::none_of(email.begin(), email.end(), [](QChar c) {
               return forbidden.contains(c) || c.category() == QChar::Other_Control;
           });
}

} // namespace

void HelpActions::PerformEmailToAuthor() const {
    const QString email = m_addresses.authorEmail;
    const QString address = QStringLiteral("mailto:") + email;
    const bool opened =
        isMailAddress(email) && QUrl(address, QUrl::StrictMode).isValid() && openAddress(address);
    if (!opened)
        VLMLRunCriticalAlertPanel(QString(),
                                  StringTables::localized(QStringLiteral("CantUseEmailErr")),
                                  QString(), QString(), QString(), email);
}

void HelpActions::PerformVisitWebPage() const {
    openAddress(m_addresses.webPageURL);
}
