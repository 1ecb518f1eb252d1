#include "SampleSets.h"
#include "TestEnvironment.h"
#include "WindowTestSupport.h"
#include "app/PARDocumentController.h"
#include "platform/StringTables.h"
#include "window/OutputDrawer.h"
#include "window/StatisticsPanel.h"
#include "window/StatusLine.h"

#include <QProgressBar>

namespace {

// The window through a whole run of the real par2 helper.
TEST(RepairedSetTest, TheWindowFollowsARealRepair) {
    PARDocumentController documents;
    const QString main =
        SampleSets::makeDamagedSet(TestEnvironment::makeFolder(QStringLiteral("repaired")));
    ASSERT_FALSE(main.isEmpty());
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(SampleSets::waitForRunEnd(*controller));

    ParWindow* window = controller->window();
    EXPECT_EQ(window->windowTitle(), "set.par2 (PAR 2)");
    EXPECT_EQ(window->statusLine()->text(), StringTables::localized(QStringLiteral("DocStatus7")));
    EXPECT_TRUE(window->statusLine()->font().bold());
    EXPECT_EQ(window->progression()->value(), 100);

    const FileTableModel* model = window->fileStatus()->fileModel();
    const QStringList names = {"chapter1.txt", "chapter2.txt", "chapter10.txt",
                               "cover.jpg",    "notes.md",     "photo.raw"};
    ASSERT_EQ(model->subjectCount(), names.size());
    for (int row = 0; row < names.size(); ++row)
        EXPECT_EQ(model->subjectFileAt(row), names[row]);
    const QString repaired = StringTables::localized(QStringLiteral("FileStatus9"));
    EXPECT_EQ(model->index(1, FileTableModel::StatusColumn).data().toString(), repaired);
    EXPECT_EQ(model->index(5, FileTableModel::StatusColumn).data().toString(), repaired);
    EXPECT_EQ(model->separatorRow(), names.size());
    EXPECT_GT(model->rowCount(), names.size() + 1);

    EXPECT_EQ(window->par2StatisticsView()->valueOf(QStringLiteral("par2NumGoodFiles")), "6");
    // Every block the verification found missing or damaged was rebuilt.
    EXPECT_EQ(window->par2StatisticsView()->valueOf(QStringLiteral("par2NumUnavailableBlocks")),
              "0");
    EXPECT_TRUE(window->drawer()->text().contains(QStringLiteral("Repair complete")));
}

} // namespace
