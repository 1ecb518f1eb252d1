#include "app/VersionCheck.h"

#include "DesktopStandIns.h"
#include "EventLoopWait.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "VersionListServer.h"
#include "app/VersionList.h"
#include "platform/AppInfo.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"

#include <QElapsedTimer>
#include <QVersionNumber>
#include <gtest/gtest.h>

namespace {

QString newerVersion() {
    const QVersionNumber running = QVersionNumber::fromString(AppInfo::shortVersion());
    return QVersionNumber(running.majorVersion(), running.minorVersion() + 1).toString();
}

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        Preferences::remove(PrefKey::AutoCheckUpdate);
        Preferences::remove(PrefKey::UnattendedOperation);
    }

    ReleaseAddresses addresses() const {
        return {server.url(), QStringLiteral("https://example.org/download"), {}, {}};
    }

    // Runs one check to its end and returns its outcome.
    VersionCheck::Outcome check(bool reportUpToDate) {
        VersionCheck versionCheck(addresses());
        std::optional<VersionCheck::Outcome> outcome;
        QObject::connect(&versionCheck, &VersionCheck::finished,
                         [&](VersionCheck::Outcome result) { outcome = result; });
        versionCheck.DoCheckUpdateAndReportUpToDate(reportUpToDate);
        EXPECT_TRUE(spinUntil([&] { return outcome.has_value(); }, 10000));
        return outcome.value_or(VersionCheck::Outcome::Unavailable);
    }

    VersionListServer server;
    RecordingWorkspace workspace;
};

} // namespace

TEST_F(VersionCheckTest, TheSameOrAnOlderVersionIsUpToDate) {
    for (const QString& listed :
         {AppInfo::shortVersion(), AppInfo::shortVersion() + ".0", QStringLiteral("0.0.1")}) {
        server.setBody(VersionListServer::versionList(listed, QStringLiteral("Get it"), true));
        ScriptedAlertPresenter alerts;
        EXPECT_EQ(check(true), VersionCheck::Outcome::UpToDate) << qPrintable(listed);
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].title, localized("SoftwareIsUpToDate"));
        EXPECT_EQ(alerts.shown[0].message, localized("YouHaveMostRecent"));
        EXPECT_EQ(check(false), VersionCheck::Outcome::UpToDate);
        EXPECT_EQ(alerts.shown.size(), 1) << "the launch check says nothing";
    }
    EXPECT_TRUE(server.lastRequest().startsWith("GET /versions.plist "));
    EXPECT_TRUE(workspace.urls.isEmpty());
}

TEST_F(VersionCheckTest, ANewerVersionOffersTheDownload) {
    const QString prompt = QStringLiteral("Version 9 is 100%d better");
    server.setBody(VersionListServer::versionList(newerVersion(), prompt, false));
    ScriptedAlertPresenter later({kAlertAlternateReturn});
    EXPECT_EQ(check(false), VersionCheck::Outcome::NewerVersion);
    ASSERT_EQ(later.shown.size(), 1);
    EXPECT_EQ(later.shown[0].title, localized("NewVersionAvailable"));
    EXPECT_EQ(later.shown[0].message, prompt);
    EXPECT_EQ(later.shown[0].defaultButton, localized("DownloadNewVersionNow"));
    EXPECT_EQ(later.shown[0].alternateButton, localized("DownloadNewVersionLater"));
    EXPECT_TRUE(workspace.urls.isEmpty());

    server.setBody(VersionListServer::versionList(newerVersion(), QString(), true));
    ScriptedAlertPresenter now({kAlertDefaultReturn});
    EXPECT_EQ(check(true), VersionCheck::Outcome::NewerVersion);
    ASSERT_EQ(now.shown.size(), 1);
    EXPECT_EQ(now.shown[0].message, formatString(localized("CanDownloadNew"), newerVersion()));
    EXPECT_EQ(workspace.urls, QStringList{"https://example.org/download"});
}

TEST_F(VersionCheckTest, AnswersThatAreNoVersionListFailOnlyAloud) {
    const auto plist = [](const char* content) {
        return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + QByteArray(content) + "</plist>";
    };
    const QByteArray oversized =
        VersionListServer::versionList("99.0", QString(2 << 20, QLatin1Char('x')), false);
    for (const QByteArray& body :
         {QByteArray(), QByteArray("garbage\x01\x02"), QByteArray("bplist00\xff\xff", 10),
          plist("<array><string>Velmora</string></array>"),
          plist("<dict><key>Velmora</key><integer>7</integer></dict>"),
          plist("<dict><key>Other</key><string>9.0</string></dict>"),
          plist("<dict><key>VelmoraPrompt</key><string>Hi</string></dict>"),
          VersionListServer::versionList("soon", QString(), false), oversized}) {
        server.setBody(body);
        ScriptedAlertPresenter alerts;
        EXPECT_EQ(check(false), VersionCheck::Outcome::Failed);
        EXPECT_TRUE(alerts.shown.isEmpty()) << "the launch check stays silent";
        // Asked for from the menu, the failure is shown even in unattended operation.
        Preferences::setBool(PrefKey::UnattendedOperation, true);
        EXPECT_EQ(check(true), VersionCheck::Outcome::Failed);
        Preferences::remove(PrefKey::UnattendedOperation);
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
        EXPECT_EQ(alerts.shown[0].message, localized("CannotCheckVersionErr"));
    }
    EXPECT_TRUE(workspace.urls.isEmpty());
}

TEST_F(VersionCheckTest, AServerThatDoesNotAnswerIsGivenUpAfterTheTimeOut) {
    server.setSilent(true);
    ScriptedAlertPresenter alerts;
    VersionCheck versionCheck(addresses());
    bool ended = false;
    QObject::connect(&versionCheck, &VersionCheck::finished, [&] { ended = true; });
    QElapsedTimer clock;
    clock.start();
    versionCheck.DoCheckUpdateAndReportUpToDate(false);
    // The request runs while the event loop goes on.
    EXPECT_TRUE(versionCheck.isRunning());
    EXPECT_TRUE(spinUntil([&] { return server.requestCount() == 1; }, 3000));
    // A menu request during the silent launch check joins it and is answered aloud.
    versionCheck.PerformCheckUpdate();
    EXPECT_TRUE(spinUntil([&] { return ended; }, 10000));
    EXPECT_GE(clock.elapsed(), VersionCheck::kTimeoutMs - 100);
    EXPECT_LT(clock.elapsed(), VersionCheck::kTimeoutMs + 3000);
    EXPECT_EQ(server.requestCount(), 1);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, localized("CannotCheckVersionErr"));
}

TEST_F(VersionCheckTest, TheFirstLaunchAsksAndChecksNothing) {
    server.setBody(VersionListServer::versionList(newerVersion(), QString(), false));
    for (const int answer : {kAlertDefaultReturn, kAlertAlternateReturn}) {
        Preferences::remove(PrefKey::AutoCheckUpdate);
        ScriptedAlertPresenter alerts({answer});
        VersionCheck(addresses()).checkAtLaunch();
        ASSERT_EQ(alerts.shown.size(), 1);
        EXPECT_EQ(alerts.shown[0].title, localized("AutoCheckQuestionTitle"));
        EXPECT_EQ(alerts.shown[0].defaultButton, localized("YesButton"));
        EXPECT_EQ(alerts.shown[0].alternateButton, localized("NoButton"));
        ASSERT_TRUE(Preferences::contains(PrefKey::AutoCheckUpdate));
        EXPECT_EQ(Preferences::boolForKey(PrefKey::AutoCheckUpdate), answer == kAlertDefaultReturn);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(server.requestCount(), 0);

    ScriptedAlertPresenter alerts({kAlertAlternateReturn});
    VersionCheck agreed(addresses());
    Preferences::setBool(PrefKey::AutoCheckUpdate, true);
    agreed.checkAtLaunch();
    EXPECT_TRUE(spinUntil([&] { return alerts.shown.size() == 1; }, 10000));
    EXPECT_EQ(alerts.shown[0].title, localized("NewVersionAvailable"));
}

TEST_F(VersionCheckTest, WithoutAVersionListAddressNothingIsSent) {
    ScriptedAlertPresenter alerts;
    VersionCheck unavailable({{}, QStringLiteral("https://example.org/download"), {}, {}});
    EXPECT_FALSE(unavailable.isAvailable());
    unavailable.checkAtLaunch();
    EXPECT_TRUE(alerts.shown.isEmpty()) << "no first-launch question";
    EXPECT_FALSE(Preferences::contains(PrefKey::AutoCheckUpdate));

    Preferences::setBool(PrefKey::AutoCheckUpdate, true);
    unavailable.checkAtLaunch();
    EXPECT_FALSE(unavailable.isRunning());
    EXPECT_TRUE(alerts.shown.isEmpty());

    unavailable.PerformCheckUpdate();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, localized("VersionCheckUnavailable"));
    EXPECT_FALSE(unavailable.isRunning());
}

TEST(VersionList, ComparesVersionNumbersNotTexts) {
    const auto listed = [](const char* version) {
        return *VersionList::parse(VersionListServer::versionList(version, QString(), false));
    };
    EXPECT_TRUE(listed("0.10").isNewerThan("0.9"));
    EXPECT_TRUE(listed("1.0.1").isNewerThan("1.0"));
    EXPECT_FALSE(listed("1.2").isNewerThan("1.2.0"));
    EXPECT_FALSE(listed("1.2.0").isNewerThan("1.2"));
    EXPECT_FALSE(listed("0.9").isNewerThan("0.10"));
    EXPECT_FALSE(listed(" 2.0 ").isNewerThan("2.0"));
}
