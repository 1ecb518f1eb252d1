#include "LogCapture.h"
#include "ScriptedAlertPresenter.h"
#include "document/UnattendedSupport.h"
#include "document/VLMError.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <gtest/gtest.h>

class AlertsTest : public ::testing::Test {
protected:
    void TearDown() override { Preferences::remove(PrefKey::UnattendedOperation); }
};

TEST_F(AlertsTest, UnattendedAlertsAreLoggedAndAnsweredWithNoButton) {
    Preferences::setBool(PrefKey::UnattendedOperation, true);
    ScriptedAlertPresenter presenter;
    LogCapture log;
    EXPECT_EQ(VLMLRunCriticalAlertPanel(QString(), QStringLiteral("disk %@ full"), QString(),
                                        QString(), QString(), QStringLiteral("/data")),
              kUnattendedAlertReturn);
    EXPECT_EQ(VLMLRunInformationalAlertPanel(QStringLiteral("AppleScript"), QStringLiteral("x"),
                                             QString(), QString(), QString()),
              kUnattendedAlertReturn);
    EXPECT_EQ(VLMLRunAlertPanel(QString(), QString(), QString(), QString(), QString()),
              kUnattendedAlertReturn);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(log.lines(), QStringList({"Error: disk /data full", "AppleScriptx",
                                        "Alert: <No message available>"}));
}

TEST_F(AlertsTest, AttendedAlertsReachThePresenterWithTheTextShownLiterally) {
    ScriptedAlertPresenter presenter({kAlertOtherReturn});
    const int result = VLMLRunCriticalAlertPanel(QStringLiteral("Title"), QStringLiteral("%@"),
                                                 QStringLiteral("OK"), QStringLiteral("Cancel"),
                                                 QStringLiteral("Always"), QStringLiteral("100%d"));
    EXPECT_EQ(result, kAlertOtherReturn);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].severity, AlertSeverity::Critical);
    EXPECT_EQ(presenter.shown[0].message, QStringLiteral("100%d"));
    EXPECT_EQ(presenter.shown[0].otherButton, QStringLiteral("Always"));
}

// The table's text for a known code, else the error's own description; copies
// keep the rest of the user information.
TEST(VLMErrorTest, ErrorTextsAndCopies) {
    const QVariantMap info{{VLMError::kLocalizedDescriptionKey, QStringLiteral("own text")},
                           {QStringLiteral("path"), QStringLiteral("/x")}};
    const VLMError known(VLMError::kVelmoraDomain, 0, info);
    EXPECT_EQ(known.errorText(), QStringLiteral("The location cannot be opened."));
    EXPECT_EQ(VLMError(VLMError::kVelmoraDomain, 4711, info).errorText(),
              QStringLiteral("own text"));
    EXPECT_EQ(VLMError(VLMError::kUnrarDomain, -5).errorTextKey(),
              QStringLiteral("VLMUnrarErrorDomainM5"));
    EXPECT_TRUE(VLMError(QStringLiteral("Velmora"), -1)
                    .errorText()
                    .startsWith(QStringLiteral("The operation couldn't be completed")));

    const VLMError copy = known.copyWithLocalizedDescriptionAndPrepend(QStringLiteral("Oops: "));
    EXPECT_EQ(copy.code(), 0);
    EXPECT_EQ(copy.userInfo().value(QStringLiteral("path")), QStringLiteral("/x"));
    EXPECT_EQ(copy.localizedDescription(), QStringLiteral("Oops: The location cannot be opened."));
    EXPECT_EQ(known.copyWithLocalizedDescription().localizedDescription(),
              QStringLiteral("The location cannot be opened."));
}
