#include "platform/ConditionLock.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/SerialQueue.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/StringsFileParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

TEST(StringFormatTest, FormatsTheConversionsTheStringTablesUse) {
    EXPECT_EQ(formatString(QStringLiteral("%d of %@"), 3, QStringLiteral("x")),
              QStringLiteral("3 of x"));
    EXPECT_EQ(formatString(QStringLiteral("%2$@ %1$@"), QStringLiteral("a"), QStringLiteral("b")),
              QStringLiteral("b a"));
    EXPECT_EQ(formatString(QStringLiteral("100%% %ld %.1f"), 7LL, 2.26),
              QStringLiteral("100% 7 2.3"));
    EXPECT_EQ(formatString(QStringLiteral("%@"), QStringLiteral("50%d")), QStringLiteral("50%d"));
    EXPECT_EQ(formatString(QStringLiteral("%@ and %@"), QStringLiteral("one")),
              QStringLiteral("one and "));
    EXPECT_EQ(formatString(QStringLiteral("ends with %")), QStringLiteral("ends with %"));
}

TEST(StringTablesTest, ParsesEscapesAndCommentsAndFallsBackToTheKey) {
    const auto table = StringsFileParser::parse(
        QStringLiteral("/* c */ \"a\" = \"x \\\"y\\\"\\n\";\n// line\n\"b\"=\"%@\";\nbroken "
                       "line\n\"c\" = \"z\";"));
    EXPECT_EQ(table.value(QStringLiteral("a")), QStringLiteral("x \"y\"\n"));
    EXPECT_EQ(table.value(QStringLiteral("b")), QStringLiteral("%@"));
    EXPECT_EQ(table.value(QStringLiteral("c")), QStringLiteral("z"));
    EXPECT_EQ(StringTables::localized(QStringLiteral("DocStatus4B")).isEmpty(), false);
    EXPECT_EQ(StringTables::localized(QStringLiteral("NoSuchKey")), QStringLiteral("NoSuchKey"));
}

TEST(SerialQueueTest, RunsTasksInOrderOnOneThreadAndDrainsOnDestruction) {
    std::vector<int> order;
    std::thread::id first;
    std::atomic<bool> sameThread{true};
    {
        SerialQueue queue(QStringLiteral("test.queue"));
        for (int i = 0; i < 100; ++i) {
            queue.async([&, i] {
                if (i == 0)
                    first = std::this_thread::get_id();
                else if (std::this_thread::get_id() != first)
                    sameThread = false;
                order.push_back(i);
            });
        }
    }
    ASSERT_EQ(order.size(), 100u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_TRUE(sameThread);
}

TEST(ConditionLockTest, WaitsForTheConditionAndTimesOut) {
    ConditionLock lock(0);
    EXPECT_FALSE(lock.lockWhenCondition(1, std::chrono::milliseconds(20)));
    std::thread setter([&] {
        lock.lock();
        lock.unlockWithCondition(1);
    });
    EXPECT_TRUE(lock.lockWhenCondition(1, std::chrono::seconds(10)));
    lock.unlock();
    setter.join();
    EXPECT_EQ(lock.condition(), 1);
}

TEST(MainThreadTest, RunSyncFromAWorkerRunsOnTheMainThreadWhileItSpins) {
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        MainThread::runSync([&] { ranOnMain = MainThread::isCurrent(); });
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_TRUE(ranOnMain);
}

// Work handed over in a burst runs over several turns of the event loop, in
// the order it was queued, so the window can paint in between.
TEST(MainThreadTest, ABurstOfQueuedTasksLeavesTurnsForTheEventLoop) {
    constexpr int kTasks = 20;
    std::vector<int> ran;
    std::thread worker([&] {
        for (int task = 0; task < kTasks; ++task)
            MainThread::post([&ran, task] {
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
                ran.push_back(task);
            });
    });
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_LT(ran.size(), size_t(kTasks));
    QElapsedTimer timer;
    timer.start();
    while (ran.size() < size_t(kTasks) && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(ran.size(), size_t(kTasks));
    EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));
}

// Each write syncs the file to disk; a value the store holds already is not
// written again, whatever type it was given as.
TEST(PreferencesTest, AnUnchangedValueIsNotWrittenAgain) {
    const auto fileIdentity = [] {
        struct stat status {};
        ::stat(QFile::encodeName(Preferences::storePath()).constData(), &status);
        return status.st_ino;
    };
    Preferences::setString(QStringLiteral("TestFrame"), QStringLiteral("AdnQywADAAA="));
    Preferences::setFloat(QStringLiteral("TestWidth"), 212.5);
    Preferences::setBool(QStringLiteral("TestFlag"), true);
    const auto written = fileIdentity();
    Preferences::setString(QStringLiteral("TestFrame"), QStringLiteral("AdnQywADAAA="));
    Preferences::setFloat(QStringLiteral("TestWidth"), 212.5);
    Preferences::setBool(QStringLiteral("TestFlag"), true);
    EXPECT_EQ(fileIdentity(), written);
    Preferences::setFloat(QStringLiteral("TestWidth"), 213.0);
    EXPECT_NE(fileIdentity(), written);
    EXPECT_EQ(Preferences::floatForKey(QStringLiteral("TestWidth")), 213.0);
}
