#include "Localized.h"
#include "WindowTestSupport.h"
#include "platform/ProgressTexts.h"
#include "platform/StringFormat.h"
#include "window/StatisticsPanel.h"
#include "window/StatusLine.h"

#include <QApplication>

namespace {

StatisticsRecord
statistics(std::initializer_list<std::pair<StatisticsRecord::Index, uint32_t>> values) {
    StatisticsRecord record;
    for (const auto& [index, value] : values)
        record[index] = value;
    return record;
}

class StatusDisplayTest : public WindowTest {
protected:
    StatusLine* statusLine() const { return window()->statusLine(); }
    QColor statusColour() const { return statusLine()->palette().color(QPalette::WindowText); }
};

TEST_F(StatusDisplayTest, EveryStatusHasItsTextAndStyle) {
    open();
    const QColor standard = QApplication::palette(statusLine()).color(QPalette::WindowText);
    for (int32_t status = 0; status <= 17; ++status) {
        document->setm_DocumentStatus(status);
        const QString key =
            status == 4 ? QStringLiteral("DocStatus4B") : QStringLiteral("DocStatus%1").arg(status);
        EXPECT_EQ(statusLine()->text(), StringTables::localized(key)) << status;
        // A verdict stands out; a step on the way does not.
        EXPECT_EQ(statusLine()->font().bold(), statusColour() != standard) << status;
    }
    const auto colourOf = [&](int32_t status) {
        document->setm_DocumentStatus(status);
        return statusColour();
    };
    EXPECT_EQ(colourOf(DocStatus::Repaired), colourOf(DocStatus::AllIntact));
    EXPECT_EQ(colourOf(DocStatus::RepairImpossible), colourOf(DocStatus::Aborted));
    EXPECT_NE(colourOf(DocStatus::Repaired), colourOf(DocStatus::RepairImpossible));
    EXPECT_EQ(colourOf(DocStatus::Verifying), standard);
}

TEST_F(StatusDisplayTest, Par1PanelAndStatusNameTheMissingVolumes) {
    open(QStringLiteral("par"));
    EXPECT_EQ(window()->par2StatisticsView(), nullptr);
    StatisticsPanel* panel = window()->par1StatisticsView();
    ASSERT_NE(panel, nullptr);
    document->setStatistics(statistics({{StatisticsRecord::IntactFiles, 4},
                                        {StatisticsRecord::DamagedFiles, 3},
                                        {StatisticsRecord::MissingFiles, 1},
                                        {StatisticsRecord::RecoveryVolumesFound, 2}}));
    document->showFiles(filesWithStatus({{"a", 1}}));
    document->setm_DocumentStatus(DocStatus::RepairImpossible);
    EXPECT_EQ(statusLine()->text(), formatString(localized("DocStatus4"), 2));
    EXPECT_TRUE(statusLine()->text().contains(QLatin1Char('2')));
    EXPECT_EQ(panel->valueOf(QStringLiteral("numGoodFiles")), "4");
    EXPECT_EQ(panel->valueOf(QStringLiteral("numCorruptFiles")), "3");
    EXPECT_EQ(panel->valueOf(QStringLiteral("numMissingFiles")), "1");
    EXPECT_EQ(panel->valueOf(QStringLiteral("numPxxFiles")), "2");

    document->setStatistics(statistics(
        {{StatisticsRecord::DamagedFiles, 2}, {StatisticsRecord::BadFilesNotInVolumeSet, 1}}));
    document->setm_DocumentStatus(DocStatus::RepairImpossible);
    EXPECT_EQ(statusLine()->text(), localized("DocStatus4A"));
    EXPECT_EQ(statusColour(), QColor::fromRgbF(0.75f, 0, 0));
}

TEST_F(StatusDisplayTest, Par2PanelShowsFilesBlocksAndMissingBytes) {
    open();
    EXPECT_EQ(window()->par1StatisticsView(), nullptr);
    StatisticsPanel* panel = window()->par2StatisticsView();
    ASSERT_NE(panel, nullptr);
    document->setStatistics(statistics({{StatisticsRecord::IntactFiles, 7},
                                        {StatisticsRecord::TotalFiles, 9},
                                        {StatisticsRecord::BlockSize, 100},
                                        {StatisticsRecord::MissingBlocks, 3}}));
    document->showFiles(filesWithStatus({{"a", 1}}));
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumGoodFiles")), "7");
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumTotalFiles")), "9");
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumMissingBlocks")), "3");
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumMissingBytes")), ProgressTexts::sizeText(300));
    EXPECT_TRUE(panel->isFieldShown(QStringLiteral("par2NumMissingBytes")));

    // A product beyond 32 bits, shown as soon as a set being built changes: in
    // human units, the exact figure in the tooltip.
    document->setStatistics(statistics(
        {{StatisticsRecord::BlockSize, 4000000}, {StatisticsRecord::MissingBlocks, 3000}}));
    document->setm_DocumentStatus(DocStatus::ReadyToCreate);
    EXPECT_EQ(panel->valueOf(QStringLiteral("par2NumMissingBytes")),
              ProgressTexts::sizeText(12000000000));
    EXPECT_TRUE(panel->toolTipOf(QStringLiteral("par2NumMissingBytes"))
                    .remove(QLocale().groupSeparator())
                    .contains("12000000000"));

    // Nothing more is needed: the figures about needed blocks go.
    document->setStatistics(statistics({{StatisticsRecord::BlockSize, 100}}));
    document->setm_DocumentStatus(DocStatus::Repaired);
    document->setm_DocumentStatus(DocStatus::ReadyToCreate);
    EXPECT_FALSE(panel->isFieldShown(QStringLiteral("par2NumMissingBlocks")));
}

} // namespace
