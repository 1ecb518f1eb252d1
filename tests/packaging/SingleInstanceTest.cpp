#include "app/SingleInstance.h"

#include "EventLoopWait.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <future>
#include <gtest/gtest.h>

// Runs on a private session bus (the suite is started by dbus-run-session).
namespace {

struct Received {
    QList<QStringList> opened;
    QStringList newDocuments;
};

std::unique_ptr<SingleInstance> makeInstance(const QString& connectionName, Received& received) {
    return std::make_unique<SingleInstance>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName),
        [&received](const QStringList& paths) { received.opened.append(paths); },
        [&received](const QString& typeName) { received.newDocuments.append(typeName); });
}

// The client call blocks until the instance answers, and the instance answers
// on this thread's event loop: so the call goes out from another thread.
bool forwardWhileServing(const std::function<bool()>& forward) {
    std::future<bool> result = std::async(std::launch::async, forward);
    spinUntil([&result] {
        return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    return result.get();
}

} // namespace

TEST(SingleInstanceTest, TheFirstInstanceTakesRequestsAndALaterOneHandsThemOver) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    EXPECT_FALSE(SingleInstance::forwardOpen({"/nowhere/set.par2"}));

    Received first, second;
    auto running = makeInstance("first", first);
    EXPECT_TRUE(running->isRegistered());
    EXPECT_FALSE(makeInstance("second", second)->isRegistered());

    const QStringList given{"sub/set.par2", "/data/other set.P01"};
    EXPECT_TRUE(forwardWhileServing([&given] { return SingleInstance::forwardOpen(given); }));
    EXPECT_TRUE(forwardWhileServing([] { return SingleInstance::forwardNewDocument("PAR File"); }));
    EXPECT_TRUE(spinUntil([&first] { return !first.newDocuments.isEmpty(); }));
    ASSERT_EQ(first.opened.size(), 1);
    EXPECT_EQ(first.opened[0],
              (QStringList{QDir::currentPath() + "/sub/set.par2", "/data/other set.P01"}));
    EXPECT_EQ(first.newDocuments, QStringList{"PAR File"});
    EXPECT_TRUE(second.opened.isEmpty());

    running.reset();
    EXPECT_FALSE(SingleInstance::forwardOpen({"/nowhere/set.par2"}));
    EXPECT_TRUE(makeInstance("third", second)->isRegistered());
}

TEST(SingleInstanceTest, RelativePathsFromOtherCallersAreNotOpened) {
    Received received;
    const auto running = makeInstance("relative", received);
    ASSERT_TRUE(running->isRegistered());
    QDBusMessage call =
        QDBusMessage::createMethodCall(SingleInstance::serviceName, SingleInstance::objectPath,
                                       SingleInstance::serviceName, "Open");
    call << QStringList{"set.par2", "../up.par2", "/abs/set.par2"};
    QDBusConnection::sessionBus().asyncCall(call);
    EXPECT_TRUE(spinUntil([&received] { return !received.opened.isEmpty(); }));
    EXPECT_EQ(received.opened.value(0), QStringList{"/abs/set.par2"});
}
