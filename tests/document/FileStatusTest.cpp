#include "document/FileStatus.h"

#include "LogCapture.h"

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
