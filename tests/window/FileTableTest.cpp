#include "Localized.h"
#include "WindowTestSupport.h"
#include "platform/StringFormat.h"
#include "window/StatusTexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>

namespace {

using Column = FileTableModel::Column;

class FileTableTest : public WindowTest {
protected:
    void SetUp() override { open(); }

    // Three files of the set and two recovery files, in deliberately unsorted keys.
    void showSet() {
        FileStatusMap pxx;
        pxx.insert(QStringLiteral("set.vol01+02.par2"), recoveryFile("set.vol01+02.par2", 2));
        pxx.insert(QStringLiteral("set.par2"), recoveryFile("set.par2", 0));
        document->showFiles(filesWithStatus({{"part10.rar", FileCode::Intact},
                                             {"part9.rar", FileCode::Damaged},
                                             {"Part1.rar", FileCode::Missing}}),
                            pxx);
    }
};

TEST_F(FileTableTest, SetFilesThenSeparatorThenRecoveryFilesInNameOrder) {
    document->showFiles(filesWithStatus({{"b", 1}, {"a", 1}, {"c", 1}}));
    EXPECT_EQ(model()->rowCount(), 3);
    EXPECT_EQ(model()->separatorRow(), -1);

    showSet();
    ASSERT_EQ(model()->rowCount(), 6);
    EXPECT_EQ(cell(0, Column::FileColumn), "Part1.rar");
    EXPECT_EQ(cell(1, Column::FileColumn), "part9.rar");
    EXPECT_EQ(cell(2, Column::FileColumn), "part10.rar");
    EXPECT_EQ(model()->separatorRow(), 3);
    EXPECT_EQ(cell(3, Column::FileColumn), "");
    EXPECT_EQ(cell(3, Column::StatusColumn), "");
    EXPECT_EQ(cell(3, Column::IconColumn, FileTableModel::IconNameRole), "");
    EXPECT_EQ(cell(4, Column::FileColumn), "set.par2");
    EXPECT_EQ(cell(4, Column::StatusColumn), localized("PxxFileStatus2"));
    EXPECT_EQ(cell(5, Column::StatusColumn), formatString(localized("PxxFileStatus5"), 2));
    EXPECT_EQ(cell(5, Column::IconColumn, FileTableModel::IconNameRole), "FileOKIcon");
    EXPECT_EQ(cell(6, Column::FileColumn), "");
}

TEST_F(FileTableTest, OnlyTheSetsFilesAreSelectedAndCopied) {
    showSet();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    table()->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    table()->selectAll();
    EXPECT_EQ(velmora()->NumSelectedFiles(), 3);
    EXPECT_EQ(velmora()->SelectedFiles(), QStringList({"Part1.rar", "part9.rar", "part10.rar"}));
    table()->selectRow(4);
    EXPECT_EQ(velmora()->NumSelectedFiles(), 0);

    table()->selectAll();
    table()->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Part1.rar\npart9.rar\npart10.rar");
    velmora()->NoSelection();
    EXPECT_EQ(velmora()->NumSelectedFiles(), 0);
}

TEST_F(FileTableTest, NotOKFilesAreTheDamagedMissingAndUnrestorableOnes) {
    QList<std::pair<QString, int32_t>> entries;
    for (int32_t code = 1; code <= 10; ++code)
        entries.append({QStringLiteral("f%1").arg(code), code});
    document->showFiles(filesWithStatus(entries));
    // Rows follow the name order: f1, f2, ..., f10.
    EXPECT_EQ(velmora()->getNotOKFiles(), QList<int>({1, 3, 5, 7}));

    table()->selectRow(0);
    table()->onSelectAllNonOK();
    EXPECT_EQ(velmora()->SelectedFiles(), QStringList({"f2", "f4", "f6", "f8"}));
}

TEST_F(FileTableTest, OnlyFilesThatAreFineWearTheOKIcon) {
    // A file the user is told is not OK never wears the OK icon, and one that is fine always does.
    for (int32_t code = FileCode::NotExamined; code <= FileCode::ToBeProtected; ++code) {
        const QString icon = StatusTexts::FilestatusAsSymbol(FileStatus(QStringLiteral("x"), code));
        if (FileCode::isNotOK(code)) {
            EXPECT_NE(icon, "FileOKIcon") << code;
        }
        if (code == FileCode::Intact || code == FileCode::Repaired) {
            EXPECT_EQ(icon, "FileOKIcon") << code;
        }
    }
    const FileStatus outsideSet(QStringLiteral("x"), FileCode::Intact, QString(), false);
    EXPECT_EQ(StatusTexts::FilestatusAsSymbol(outsideSet), "FileNotInVolumeSetIcon");
}

// A volume a PAR 1 creation wrote knows its block; one only found does not.
TEST_F(FileTableTest, Par1VolumesShowTheirBlockOnceWritten) {
    using StatusTexts::PxxFileStatusAsText;
    EXPECT_EQ(PxxFileStatusAsText(recoveryFile("v", 0), 1), localized("PxxFileStatus1"));
    EXPECT_EQ(PxxFileStatusAsText(recoveryFile("v", 1), 1), localized("PxxFileStatus4"));
    EXPECT_EQ(PxxFileStatusAsText(FileStatus(QStringLiteral("v"), 0), 1), "");
}

TEST_F(FileTableTest, SelectionFollowsTheNamesAndAbortKeepsTheLastSnapshot) {
    document->showFiles(filesWithStatus({{"b", 1}, {"d", 1}}));
    table()->selectRow(1);
    document->showFiles(filesWithStatus({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 2}}));
    EXPECT_EQ(velmora()->SelectedFiles(), QStringList({"d"}));

    document->setm_DocumentStatus(DocStatus::Aborted);
    document->showFiles({});
    EXPECT_EQ(model()->rowCount(), 4);
    EXPECT_EQ(cell(3, Column::StatusColumn), localized("FileStatus2"));

    // The next run's files replace what the aborted one left, skipped changes included.
    document->setm_DocumentStatus(DocStatus::Verifying);
    document->showFiles(filesWithStatus({{"e", 1}}));
    ASSERT_EQ(model()->rowCount(), 1);
    EXPECT_EQ(cell(0, Column::FileColumn), "e");
}

// The file that had a problem stays in view while it is repaired and after,
// instead of the list jumping to its end when the recovery files come in.
TEST_F(FileTableTest, TheDamagedFileStaysInViewThroughItsRepair) {
    QList<std::pair<QString, int32_t>> entries;
    for (int i = 0; i < 500; ++i)
        entries.append({QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0')), FileCode::Intact});
    entries[100].second = FileCode::DamagedRecoverable;
    document->showFiles(filesWithStatus(entries));
    const auto inView = [&](int row) {
        return table()->viewport()->rect().intersects(
            table()->visualRect(model()->index(row, Column::FileColumn)));
    };
    EXPECT_TRUE(inView(100));
    entries[100].second = FileCode::Repaired;
    FileStatusMap pxx;
    pxx.insert(QStringLiteral("set.vol0+1.par2"), recoveryFile("set.vol0+1.par2", 1));
    document->showFiles(filesWithStatus(entries), pxx);
    EXPECT_TRUE(inView(100));
}

// A set's list read from the set arrives whole: it opens at its first file.
// Files the helper reports beyond it are followed to the end.
TEST_F(FileTableTest, AListedSetOpensAtItsFirstFileAndLaterNamesAreFollowed) {
    QList<std::pair<QString, int32_t>> entries;
    for (int i = 0; i < 500; ++i)
        entries.append(
            {QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0')), FileCode::NotExamined});
    document->showFiles(filesWithStatus(entries));
    const auto inView = [&](int row) {
        return table()->viewport()->rect().intersects(
            table()->visualRect(model()->index(row, Column::FileColumn)));
    };
    EXPECT_TRUE(inView(0));
    FileStatusMap pxx;
    pxx.insert(QStringLiteral("set.vol0+1.par2"), recoveryFile("set.vol0+1.par2", 1));
    document->showFiles(filesWithStatus(entries), pxx);
    EXPECT_TRUE(inView(0)) << "the recovery files the helper loads are not followed";
    entries.append({QStringLiteral("f500"), FileCode::Intact});
    document->showFiles(filesWithStatus(entries), pxx);
    EXPECT_TRUE(inView(500));
}

TEST_F(FileTableTest, AChangedRecordRedrawsOnlyItsRowAndNewNamesMergeInOrder) {
    QList<std::pair<QString, int32_t>> entries;
    for (int i = 0; i < 3000; ++i)
        entries.append({QStringLiteral("f%1").arg(i), FileCode::Intact});
    document->showFiles(filesWithStatus(entries));
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    QSignalSpy redrawn(model(), &QAbstractItemModel::dataChanged);

    entries[1500].second = FileCode::Damaged;
    document->showFiles(filesWithStatus(entries));
    EXPECT_EQ(resets.size(), 0);
    ASSERT_EQ(redrawn.size(), 1);
    const int row = model()->rowOfSubjectFile("f1500");
    EXPECT_EQ(row, 1500);
    EXPECT_EQ(redrawn[0][0].toModelIndex().row(), row);
    EXPECT_EQ(redrawn[0][1].toModelIndex().row(), row);
    EXPECT_EQ(cell(row, Column::StatusColumn), localized("FileStatus2"));

    entries.append({QStringLiteral("g"), FileCode::Intact});
    entries.append({QStringLiteral("f3000"), FileCode::Missing});
    entries.append({QStringLiteral("a"), FileCode::Intact});
    document->showFiles(filesWithStatus(entries));
    ASSERT_EQ(model()->subjectCount(), 3003);
    EXPECT_EQ(model()->subjectFileAt(0), "a");
    EXPECT_EQ(model()->subjectFileAt(1501), "f1500");
    EXPECT_EQ(model()->subjectFileAt(3001), "f3000");
    EXPECT_EQ(model()->subjectFileAt(3002), "g");
    EXPECT_EQ(cell(3001, Column::StatusColumn), localized("FileStatus4"));
}

} // namespace
