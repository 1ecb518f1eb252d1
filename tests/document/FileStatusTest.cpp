#include "document/FileStatus.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

namespace {

// Expected result of changing a record at `from` to `to`: the code it ends with.
int32_t expectedAfter(int32_t from, int32_t to) {
    const auto allowed = [&](std::initializer_list<int32_t> targets) {
        return std::find(targets.begin(), targets.end(), to) != targets.end() ? to : from;
    };
    switch (from) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 9:
        return from;
    case 2:
        return allowed({2, 3, 7, 8});
    case 4:
        return allowed({4, 3, 5, 6});
    case 5:
    case 7:
        return allowed({from, 6, 8, 9});
    case 10:
        return allowed({10, 1});
    default:
        return to;
    }
}

bool logsRefusal(int32_t from, int32_t to) {
    return expectedAfter(from, to) == from && from != to && (from == 2 || from == 4 || from == 10);
}

} // namespace

TEST(FileStatusTest, GuardedTransitionsFollowTheTableForEveryPairOfCodes) {
    for (int32_t from = 0; from <= 11; ++from) {
        for (int32_t to = 0; to <= 11; ++to) {
            FileStatus record(QStringLiteral("f"), from);
            LogCapture log;
            record.setFileStatus(to);
            EXPECT_EQ(record.fileStatus(), expectedAfter(from, to)) << from << " -> " << to;
            const QString line =
                QStringLiteral("Unexpected file status transition from %1 to %2").arg(from).arg(to);
            EXPECT_EQ(log.contains(line), logsRefusal(from, to)) << from << " -> " << to;
        }
    }
}

TEST(FileStatusTest, ForcedChangeAndConstructorsKeepEveryField) {
    FileStatus plain(QStringLiteral("a.rar"));
    EXPECT_EQ(plain.fileStatus(), FileCode::NotExamined);
    EXPECT_TRUE(plain.fileInVolumeSet());
    EXPECT_TRUE(plain.associatedFilename().isNull());

    FileStatus full(QStringLiteral("b.rar"), FileCode::FoundUnderOtherName, QStringLiteral("c.rar"),
                    false);
    full.setNumRecoveryBlocks(-3);
    full.setFileStatusForced(FileCode::ToBeProtected);
    const FileStatus copy = full;
    EXPECT_EQ(copy.fileStatus(), FileCode::ToBeProtected);
    EXPECT_EQ(copy.associatedFilename(), QStringLiteral("c.rar"));
    EXPECT_FALSE(copy.fileInVolumeSet());
    EXPECT_EQ(copy.numRecoveryBlocks(), -3);
}

TEST(FileStatusTest, SnapshotsOfAMapDoNotSeeLaterChanges) {
    FileStatusMap map;
    map.insert(QStringLiteral("a"), FileStatus(QStringLiteral("a"), FileCode::Missing));
    const FileStatusMap snapshot = map;
    map[QStringLiteral("a")].setFileStatus(FileCode::MissingRecoverable);
    EXPECT_EQ(snapshot.value(QStringLiteral("a")).fileStatus(), FileCode::Missing);
}
