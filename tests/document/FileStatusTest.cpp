#include "document/FileStatus.h"

#include "LogCapture.h"
#include "document/FileStatusChanges.h"

#include <gtest/gtest.h>

// A verdict the helper settled is never taken back by a later line, a repair
// is reported only for what was broken, and what the window counts as "not OK"
// follows the recovery pass.
TEST(FileStatusTest, SettledVerdictsStayAndTheRecoveryPassMovesOnlyBrokenFiles) {
    FileStatus intact(QStringLiteral("a"), FileCode::Intact);
    intact.setFileStatus(FileCode::Damaged);
    EXPECT_EQ(intact.fileStatus(), FileCode::Intact);

    FileStatus damaged(QStringLiteral("b"), FileCode::Damaged);
    LogCapture log;
    damaged.setFileStatus(FileCode::Intact);
    EXPECT_EQ(damaged.fileStatus(), FileCode::Damaged);
    EXPECT_TRUE(log.contains("Unexpected file status transition from 2 to 1"));
    damaged.setFileStatus(FileCode::DamagedRecoverable);
    damaged.setFileStatus(FileCode::Repaired);
    EXPECT_EQ(damaged.fileStatus(), FileCode::Repaired);

    FileStatusMap files;
    files.insert("c", FileStatus("c", FileCode::Damaged));
    files.insert("d", FileStatus("d", FileCode::Missing));
    files.insert("e", FileStatus("e", FileCode::Intact));
    files.insert("f", FileStatus("f", FileCode::Missing, QString(), false));
    EXPECT_TRUE(SetCorruptMissingToRecoverable(files));
    EXPECT_EQ(files["c"].fileStatus(), FileCode::DamagedRecoverable);
    EXPECT_EQ(files["d"].fileStatus(), FileCode::MissingRecoverable);
    EXPECT_EQ(files["f"].fileStatus(), FileCode::Missing);
    EXPECT_TRUE(SetRecoverableToUnrecoverable(files));
    EXPECT_TRUE(FileCode::isNotOK(files["c"].fileStatus()));
    EXPECT_FALSE(FileCode::isNotOK(files["e"].fileStatus()));
}

// A window told nothing yet starts from a copy made beforehand: whatever that
// copy missed, kept too long or has stale is mended from the document's records.
TEST(FileStatusChangesTest, AWindowStartedFromAnEarlierCopyIsToldTheRecordsAsTheyAre) {
    FileStatusMap current;
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        current.insert(QString::fromLatin1(name), FileStatus(QString::fromLatin1(name)));
    FileStatusMap earlier = detachedCopy(current);
    current[QStringLiteral("b.dat")].setFileStatus(FileCode::Damaged);
    current.insert(QStringLiteral("d.dat"), FileStatus(QStringLiteral("d.dat")));
    earlier.remove(QStringLiteral("a.dat"));
    earlier.insert(QStringLiteral("gone.dat"), FileStatus(QStringLiteral("gone.dat")));

    FileStatusMap told;
    const FileStatusChanges changes = FileStatusChanges::followFrom(earlier, told, current);

    EXPECT_EQ(told, current);
    EXPECT_EQ(changes.changed, current);
    EXPECT_TRUE(changes.removed.isEmpty());
    EXPECT_TRUE(FileStatusChanges::follow(told, current).isEmpty());
}
