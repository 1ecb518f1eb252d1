#include "par2/PAR2Document.h"

#include "EventLoopWait.h"
#include "LogCapture.h"
#include "Par2TestSupport.h"
#include "TestEnvironment.h"
#include "app/PARDocumentController.h"
#include "par2/EncodingSelectionController.h"
#include "par2/EncodingSelectionSheet.h"
#include "platform/FileNames.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct CancellingSheet : EncodingSelectionSheet {
    CancellingSheet() { install(this); }
    ~CancellingSheet() override { install(nullptr); }
    void beginSheet(const std::shared_ptr<EncodingSelectionController>& controller,
                    DocumentWindowInterface*) override {
        ++shown;
        controller->sheetDidEnd(EncodingSelectionController::kReturnCancel, 0);
    }
    int shown = 0;
};

// PAR 2 documents running the real par2 as their helper.
class PAR2DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString helpers = TestEnvironment::makeFolder(QStringLiteral("par2-helpers"));
        QFile::link(QStringLiteral("/usr/bin/par2"), helpers + QStringLiteral("/par2SL"));
        qputenv("VELMORA_HELPERS_DIR", QFile::encodeName(helpers));
        m_folder = TestEnvironment::makeFolder(QStringLiteral("par2-document"));
    }
    // A run still ending after the test would outlive what it reports to.
    void TearDown() override {
        for (const auto& document : m_controller.documents()) {
            const auto par = std::dynamic_pointer_cast<MyDocument>(document);
            EXPECT_TRUE(waitUntil([&] { return !par->isProcessing() && !par->hasLiveReaders(); }));
        }
        qunsetenv("VELMORA_HELPERS_DIR");
    }

    QString path(const QString& name) const { return m_folder + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& data) { writeFile(path(name), data); }

    std::shared_ptr<PAR2Document> open(const QString& name) {
        auto document = std::make_shared<PAR2Document>();
        m_controller.addDocument(document);
        document->readFromFile(path(name), QStringLiteral("PAR2 File"));
        return document;
    }

    PARDocumentController m_controller;
    QString m_folder;
};

} // namespace

TEST_F(PAR2DocumentTest, RepairsEndToEndAndDeletesOnlyItsOwnRecoveryFiles) {
    const QByteArray original = randomBytes(60000, 1);
    write("f1.bin", original);
    write("f2.bin", randomBytes(20000, 2));
    ASSERT_EQ(runPar2In(m_folder,
                        {"c", "-q", "-q", "-b40", "-r20", "--", "set.par2", "f1.bin", "f2.bin"}),
              0);
    write("other.bin", randomBytes(5000, 3));
    ASSERT_EQ(runPar2In(m_folder,
                        {"c", "-q", "-q", "-b10", "-r10", "-n1", "--", "other.par2", "other.bin"}),
              0);
    damageFile(path("f1.bin"), 100);
    Preferences::setBool(PrefKey::AutoDeletePnn, true);

    auto document = open("set.par2");
    document->ProcessRepairCurrentFile();
    ASSERT_TRUE(waitUntil([&] { return !QFile::exists(path("set.par2")); }));
    Preferences::setBool(PrefKey::AutoDeletePnn, false);

    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Repaired);
    EXPECT_EQ(document->fileStatusSnapshot().value("f1.bin").fileStatus(), FileCode::Repaired);
    EXPECT_FALSE(document->pxxFileStatusSnapshot().isEmpty());
    const StatisticsRecord statistics = document->statistics();
    EXPECT_EQ(statistics[StatisticsRecord::IntactFiles], 2u);
    EXPECT_EQ(statistics[StatisticsRecord::TotalFiles], 2u);
    EXPECT_GT(statistics[StatisticsRecord::BlockSize], 0u);
    EXPECT_TRUE(document->emptyPar2Files().contains("other.par2"));
    EXPECT_EQ(QDir(m_folder).entryList({"set*"}, QDir::Files), QStringList());
    EXPECT_TRUE(QFile::exists(path("other.par2")));
    EXPECT_EQ(readFile(path("f1.bin")), original);
}

TEST_F(PAR2DocumentTest, TheNamesEncodingIsAskedOnceAndCancelClosesTheDocument) {
    write("set.par2", fileDescriptionPacket("caf\xe9") + fileDescriptionPacket("b"));
    auto document = open("set.par2");
    {
        CancellingSheet sheet;
        EXPECT_FALSE(document->prepareDocForRepairRun());
        ASSERT_TRUE(spinUntil([&] { return document->isClosed(); }));
        EXPECT_EQ(sheet.shown, 1);
        EXPECT_NE(document->m_DocumentStatus(), DocStatus::WaitingForTurn);
    }

    LogCapture log;
    write("junk.par2", "not a par2 file");
    // The names are read on a worker; the run goes on once they are.
    EXPECT_FALSE(open("junk.par2")->prepareDocForRepairRun());
    EXPECT_TRUE(spinUntil([&] {
        return log.contains("did not contain any decodable files name and might be corrupt");
    }));

    Preferences::setBool(PrefKey::UnattendedOperation, true);
    EXPECT_FALSE(open("set.par2")->prepareDocForRepairRun());
    EXPECT_TRUE(spinUntil([&] {
        return log.contains(
            "Info: using default string encoding Western (ISO Latin 1) for par2 file");
    }));
    Preferences::setBool(PrefKey::UnattendedOperation, false);
}

// Two Latin-1 names that both read as "caf\uFFFD.bin" in UTF-8 are two files, not one row.
TEST_F(PAR2DocumentTest, StoredNamesThatAreNotUtf8StayApart) {
    const QString names[] = {FileNames::decode("caf\xe9.bin"), FileNames::decode("caf\xe8.bin")};
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(writeFile(path(names[i]), randomBytes(3000 + i, i + 1)));
    ASSERT_EQ(runPar2In(m_folder,
                        {"c", "-q", "-q", "-b10", "-r10", "--", "set.par2", names[0], names[1]}),
              0);
    Preferences::setBool(PrefKey::UnattendedOperation, true);
    auto document = open("set.par2");
    document->ProcessRepairCurrentFile();
    ASSERT_TRUE(waitUntil([&] { return document->m_DocumentStatus() == DocStatus::AllIntact; }));
    Preferences::setBool(PrefKey::UnattendedOperation, false);

    const FileStatusMap rows = document->fileStatusSnapshot();
    EXPECT_EQ(rows.keys(), QStringList({names[1], names[0]}));
    for (const QString& name : names)
        EXPECT_EQ(rows.value(name).fileStatus(), FileCode::Intact);
}
