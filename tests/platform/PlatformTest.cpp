#include "platform/ConditionLock.h"
#include "platform/MainThread.h"
#include "platform/SerialQueue.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/StringsFileParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

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
