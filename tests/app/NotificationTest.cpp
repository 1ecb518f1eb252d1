#include "DesktopStandIns.h"
#include "EventLoopWait.h"
#include "app/PARDocumentController.h"
#include "platform/UserNotificationCenter.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <gtest/gtest.h>

// Runs on a private session bus (the suite is started by dbus-run-session).
namespace {

// A minimal notification server: remembers what was posted and can click.
class NotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationServer(QDBusConnection bus) : m_bus(bus) {
        bus.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots);
        bus.registerService("org.freedesktop.Notifications");
    }
    void click(uint id, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        signal << id << action;
        m_bus.send(signal);
    }

    QStringList titles;
    QList<QStringList> actions;
    QList<QVariantMap> hints;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&,
                const QStringList& actionList, const QVariantMap& hintMap, int) {
        titles.append(summary);
        hints.append(hintMap);
        actions.append(actionList);
        return uint(titles.size());
    }

private:
    QDBusConnection m_bus;
};

} // namespace

TEST(NotificationTest, TheBodyAndTheButtonBothRevealTheExtractedItem) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    NotificationServer server(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server"));
    PARDocumentController controller;
    RecordingWorkspace workspace;
    UserNotificationCenter& center = UserNotificationCenter::shared();
    center.setActivationHandler(
        [&](const QVariantMap& userInfo) { controller.didActivateNotification(userInfo); });

    center.deliverNotification("Extracted", "movie.part1.rar", "Show",
                               {{"unrarresultpath", "/data/movie"}});
    center.deliverNotification("Failed", "other.rar", QString(), {});
    ASSERT_TRUE(spinUntil([&] { return server.titles.size() == 2; }, 10000));
    EXPECT_EQ(server.actions[0], QStringList({"default", "Extracted", "reveal", "Show"}));
    // The desktop finds the application's name and icon through its entry.
    EXPECT_EQ(server.hints[0].value("desktop-entry").toString(), "org.velmora.Velmora");

    spinUntil([] { return false; }, 200); // let the replies with the ids arrive
    server.click(1, "default");
    server.click(1, "reveal");
    server.click(2, "default");
    EXPECT_TRUE(spinUntil([&] { return workspace.revealed.size() == 2; }, 10000));
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(workspace.revealed, QStringList({"/data/movie", "/data/movie"}));
}

#include "NotificationTest.moc"
