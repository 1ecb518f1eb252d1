#include "par1/PAR1Document.h"

#include "EventLoopWait.h"
#include "Localized.h"
#include "Par1SetWriter.h"
#include "RunCommand.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/AfterRunActions.h"
#include "app/HeadlessCreate.h"
#include "app/PARDocumentController.h"
#include "document/DocumentTypes.h"
#include "par1/Par1StatusText.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kHelper = QStringLiteral(VELMORA_HELPERS_BUILD_DIR "/par");

// PAR 1 documents running our par helper on sets in a temporary folder.
class PAR1DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
        // The controller writes the defaults; a test asks for what it needs.
        for (const QString& key : {PrefKey::AutoDeletePnn, PrefKey::AutoPostProcess,
                                   PrefKey::AutoCloseDocument, PrefKey::KeepBrokenFiles})
            Preferences::setBool(key, false);
        m_folder = TestEnvironment::makeFolder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { qunsetenv("VELMORA_HELPERS_DIR"); }

    QString path(const QString& name) const { return m_folder + QLatin1Char('/') + name; }
    QByteArray read(const QString& name) const { return readFile(path(name)); }
    QByteArray write(const QString& name, int size, quint32 seed, qint64 at = 0) {
        const QByteArray bytes = randomBytes(size, seed);
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(at));
        file.write(bytes);
        return bytes;
    }
    void damage(const QString& name) { write(name, 4, 99, 10); }
    void writeOriginals() {
        for (int i = 0; i < 3; ++i)
            m_original[i] = write(QStringLiteral("%1.bin").arg(QChar(u'a' + i)), 3000 + i, i);
    }
    // A set.par with the given volumes over a.bin, b.bin and c.bin.
    void makeSet(int volumes) {
        writeOriginals();
        ASSERT_EQ(runCommand(m_folder, kHelper,
                             {"a", QStringLiteral("-n%1").arg(volumes), "--", "set.par", "a.bin",
                              "b.bin", "c.bin"}),
                  0);
    }

    // The same with one volume, and notes.txt listed as checked but not saved in the parity
    // data; notes.txt itself is gone.
    void makeSetWithAFileOutsideTheParity() {
        writeOriginals();
        write("notes.txt", 300, 9);
        velmora::par1::Par1SetWriter(QFile::encodeName(m_folder).toStdString(), "set.par",
                                     {{"a.bin"}, {"b.bin"}, {"c.bin"}, {"notes.txt", false}}, 1)
            .write(false, [](double) {});
        QFile::remove(path("notes.txt"));
    }

    static bool runEnded(MyDocument& document) {
        return document.m_PARIsRunning() == RunKind::None && !document.hasLiveReaders();
    }

    std::shared_ptr<PAR1Document> verify(const QString& name = QStringLiteral("set.par")) {
        auto document = std::make_shared<PAR1Document>();
        m_controller.addDocument(document);
        document->readFromFile(path(name), DocumentTypes::Par1);
        document->ProcessRepairCurrentFile();
        EXPECT_TRUE(waitUntil([&] { return document->m_PARHasRepaired() && runEnded(*document); }));
        return document;
    }
    // Through the same document and save flow as a new set made in the window.
    std::shared_ptr<PAR1Document> startCreating(const QStringList& names, int volumes) {
        QStringList paths;
        for (const QString& name : names)
            paths << path(name);
        QString error;
        auto document = std::make_shared<PAR1Document>();
        const bool started =
            HeadlessCreate::start(m_controller, nullptr, document, path("set.par"),
                                  QString::number(volumes), paths, &error) != nullptr;
        EXPECT_TRUE(started) << error.toStdString();
        return started ? document : nullptr;
    }
    int32_t status(const std::shared_ptr<PAR1Document>& document, const QString& name) const {
        return document->fileStatusSnapshot().value(name).fileStatus();
    }

    PARDocumentController m_controller;
    QString m_folder;
    QByteArray m_original[3];
};

} // namespace

TEST_F(PAR1DocumentTest, RepairsDamagedMissingAndMisnamedFilesThenDeletesTheIntactSet) {
    makeSet(2);
    damage("a.bin");
    QFile::remove(path("b.bin"));
    auto repaired = verify();
    EXPECT_EQ(repaired->m_DocumentStatus(), DocStatus::Repaired);
    EXPECT_EQ(status(repaired, "a.bin"), FileCode::Repaired);
    EXPECT_EQ(status(repaired, "b.bin"), FileCode::Repaired);
    EXPECT_EQ(read("a.bin"), m_original[0]);
    EXPECT_EQ(read("b.bin"), m_original[1]);
    // "KeepBrokenFiles" is off: the damaged copy went to the trash, and its row says so.
    EXPECT_FALSE(QFile::exists(path("a.bin.bad")));
    const FileStatus trashed = repaired->pxxFileStatusSnapshot().value("a.bin.bad");
    EXPECT_TRUE(trashed.isDamagedCopy());
    EXPECT_EQ(trashed.removal(), FileStatus::Removal::MovedToTrash);
    EXPECT_TRUE(
        AfterRunActions::of(*repaired)->postProcessingRecord().deletedFiles.contains("a.bin.bad"));

    Preferences::setBool(PrefKey::KeepBrokenFiles, true);
    damage("a.bin");
    QFile::rename(path("c.bin"), path("moved.dat"));
    auto renamed = verify();
    EXPECT_EQ(renamed->m_DocumentStatus(), DocStatus::RepairedWrongNames);
    EXPECT_EQ(renamed->fileStatusSnapshot().value("c.bin").associatedFilename(), "moved.dat");
    EXPECT_EQ(read("c.bin"), m_original[2]);
    // Kept: listed as the damaged copy of a.bin, not counted as a recovery volume.
    const FileStatus kept = renamed->pxxFileStatusSnapshot().value("a.bin.bad");
    EXPECT_TRUE(kept.isDamagedCopy());
    EXPECT_EQ(kept.associatedFilename(), "a.bin");
    EXPECT_EQ(kept.removal(), FileStatus::Removal::None);
    EXPECT_EQ(read("a.bin.bad").size(), m_original[0].size());
    EXPECT_EQ(renamed->statistics()[StatisticsRecord::RecoveryVolumesFound], 2u);
    EXPECT_EQ(AfterRunActions::of(*renamed)->postProcessingRecord().keptDamagedCopies,
              QStringList{"a.bin.bad"});

    // Intact now, the set is deleted as asked; the kept copy stays.
    Preferences::setBool(PrefKey::AutoDeletePnn, true);
    auto intact = verify();
    EXPECT_EQ(intact->m_DocumentStatus(), DocStatus::AllIntact);
    EXPECT_EQ(intact->statistics()[StatisticsRecord::IntactFiles], 3u);
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files),
              QStringList({"a.bin", "a.bin.bad", "b.bin", "c.bin"}));
}

// Waiting for its turn, a set lists its files from the index file, those
// outside the parity data marked so, and the helper has not started.
TEST_F(PAR1DocumentTest, AWaitingSetListsItsFilesFromTheIndexFile) {
    makeSetWithAFileOutsideTheParity();
    auto busy = std::make_shared<PAR1Document>();
    m_controller.addDocument(busy);
    busy->setm_PARIsRunning(RunKind::VerifyRepair);
    auto document = std::make_shared<PAR1Document>();
    m_controller.addDocument(document);
    document->readFromFile(path("set.par"), DocumentTypes::Par1);
    document->ProcessRepairCurrentFile();
    ASSERT_TRUE(waitUntil([&] { return document->fileStatusSnapshot().size() == 4; }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::WaitingForTurn);
    EXPECT_TRUE(document->ParOutput().isEmpty());
    const FileStatusMap listed = document->fileStatusSnapshot();
    EXPECT_EQ(listed.keys(), QStringList({"a.bin", "b.bin", "c.bin", "notes.txt"}));
    for (const FileStatus& record : listed)
        EXPECT_EQ(record.fileStatus(), FileCode::NotExamined);
    EXPECT_FALSE(listed.value("notes.txt").fileInVolumeSet());
    EXPECT_TRUE(listed.value("a.bin").fileInVolumeSet());

    busy->setm_PARIsRunning(RunKind::None);
    m_controller.scheduleNextExclusiveProcessing();
    ASSERT_TRUE(waitUntil([&] { return document->m_PARHasRepaired() && runEnded(*document); }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::RestorableIntact);
    EXPECT_EQ(status(document, "notes.txt"), FileCode::MissingUnrecoverable);
    EXPECT_EQ(status(document, "a.bin"), FileCode::Intact);
}

TEST_F(PAR1DocumentTest, OutcomesOtherThanARepair) {
    makeSetWithAFileOutsideTheParity();
    damage("b.bin");
    auto outside = verify();
    EXPECT_EQ(outside->m_DocumentStatus(), DocStatus::RestorableIntact);
    EXPECT_EQ(status(outside, "notes.txt"), FileCode::MissingUnrecoverable);
    EXPECT_FALSE(outside->fileStatusSnapshot().value("notes.txt").fileInVolumeSet());
    EXPECT_EQ(read("b.bin"), m_original[1]);

    QFile::remove(path("a.bin"));
    QFile::remove(path("c.bin"));
    auto tooFew = verify();
    ASSERT_EQ(tooFew->m_DocumentStatus(), DocStatus::RepairImpossible);
    EXPECT_EQ(status(tooFew, "a.bin"), FileCode::MissingUnrecoverable);
    EXPECT_EQ(Par1StatusText::documentStatusText(DocStatus::RepairImpossible, tooFew->statistics()),
              localized("DocStatus4A"));

    write("junk.par", 100, 5);
    EXPECT_EQ(verify("junk.par")->m_DocumentStatus(), DocStatus::NotARecoveryFile);
    ASSERT_TRUE(QFile::copy(path("set.par"), path("cut.par")));
    ASSERT_TRUE(QFile(path("cut.par")).resize(150));
    EXPECT_EQ(verify("cut.par")->m_DocumentStatus(), DocStatus::NotARecoveryFile);
}

TEST_F(PAR1DocumentTest, CreatesSetsThatPar2Reads) {
    QStringList names;
    for (int i = 1; i <= 255; ++i) {
        names << QStringLiteral("f%1.txt").arg(i);
        write(names.last(), i, i);
    }
    for (const auto& [count, volumes] : {std::pair{1, 0}, {8, 1}, {255, 3}}) {
        for (const QString& stale : QDir(m_folder).entryList({"set.*"}))
            QFile::remove(path(stale));
        auto document = startCreating(names.mid(0, count), volumes);
        ASSERT_TRUE(document && waitUntil([&] { return runEnded(*document); }));
        ASSERT_EQ(document->m_DocumentStatus(), DocStatus::Created) << count;
        const StatisticsRecord statistics = document->statistics();
        EXPECT_EQ(statistics[StatisticsRecord::IntactFiles], uint32_t(count));
        // The recovery volumes written, each with its block; the index file is the set.
        const FileStatusMap written = document->pxxFileStatusSnapshot();
        EXPECT_EQ(written.size(), volumes);
        EXPECT_EQ(statistics[StatisticsRecord::RecoveryVolumesFound], uint32_t(volumes));
        for (const FileStatus& volume : written) {
            EXPECT_TRUE(volume.filename().startsWith("set.P")) << volume.filename().toStdString();
            EXPECT_EQ(volume.numRecoveryBlocks(), 1);
        }
        EXPECT_EQ(runCommand(m_folder, "/usr/bin/par2", {"verify", "-q", "set.par"}), 0) << count;
        if (volumes == 1) {
            QFile::remove(path("f5.txt"));
            EXPECT_EQ(runCommand(m_folder, "/usr/bin/par2", {"repair", "-q", "set.par"}), 0);
            EXPECT_EQ(read("f5.txt").size(), 5);
        }
    }
}

TEST_F(PAR1DocumentTest, AbortedCreationGoesBackToTheFileList) {
    write("big.bin", 16 << 20, 7);
    auto document = startCreating({"big.bin"}, 12);
    ASSERT_TRUE(document);
    ASSERT_TRUE(waitUntil([&] { return document->ParOutput().contains("Creating PAR volumes:"); }));
    ASSERT_TRUE(document->CanPerformAbortAction());
    document->PerformAbortAction();
    ASSERT_TRUE(waitUntil([&] {
        return runEnded(*document) && document->m_DocumentStatus() == DocStatus::ReadyToCreate;
    }));
    EXPECT_EQ(status(document, "big.bin"), FileCode::ToBeProtected);
    EXPECT_TRUE(document->pxxFileStatusSnapshot().isEmpty());
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(QDir(m_folder).entryList({"set.P*"}, QDir::Files), QStringList());
}
