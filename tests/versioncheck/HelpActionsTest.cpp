#include "app/HelpActions.h"

#include "DesktopStandIns.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "platform/StringFormat.h"

#include <gtest/gtest.h>

namespace {

HelpActions actions(const QString& email, const QString& webPage = {}) {
    return HelpActions({{}, {}, webPage, email});
}

QString cantUseEmail(const QString& email) {
    return formatString(localized("CantUseEmailErr"), email);
}

} // namespace

TEST(HelpActions, MailGoesOnlyToOnePlainAddress) {
    RecordingWorkspace workspace;
    {
        ScriptedAlertPresenter alerts;
        actions(QStringLiteral("maker@example.org")).PerformEmailToAuthor();
        EXPECT_EQ(workspace.urls, QStringList{"mailto:maker@example.org"});
        EXPECT_TRUE(alerts.shown.isEmpty());
        workspace.urls.clear();
    }
    for (const QString& email :
         {QString(), QStringLiteral("maker"), QStringLiteral("maker@example.org?cc=x@y.org"),
          QStringLiteral("a b@example.org"), QStringLiteral("maker@example.org\nBcc: x@y.org")}) {
        ScriptedAlertPresenter alerts;
        actions(email).PerformEmailToAuthor();
        ASSERT_EQ(alerts.shown.size(), 1) << qPrintable(email);
        EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
        EXPECT_EQ(alerts.shown[0].message, cantUseEmail(email));
    }
    EXPECT_TRUE(workspace.urls.isEmpty());

    workspace.opensURLs = false;
    ScriptedAlertPresenter alerts;
    actions(QStringLiteral("maker@example.org")).PerformEmailToAuthor();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, cantUseEmail("maker@example.org"));
}
