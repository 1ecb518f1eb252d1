#include "TestEnvironment.h"
#include "UnrarTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

void expectOrderedEvents(const ScriptedGlueDelegate& delegate) {
    ASSERT_FALSE(delegate.events.isEmpty());
    EXPECT_EQ(delegate.events.first(), QStringLiteral("started"));
    EXPECT_EQ(delegate.events.last(), QStringLiteral("ended"));
    EXPECT_EQ(delegate.endCount, 1);
}

} // namespace

// One item goes beside the archive as it is; several go into a folder named
// after the archive.
TEST(VLMUnrarLibGlue, TheOutputGoesBesideTheArchiveOrIntoAFolderNamedAfterIt) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    ScriptedGlueDelegate delegate;
    const auto glue = extract(folder + QStringLiteral("/single.rar"), QString(), delegate);
    EXPECT_EQ(delegate.result, UnrarOutcome::Finished);
    expectOrderedEvents(delegate);
    EXPECT_EQ(readFile(folder + QStringLiteral("/notes.txt")), QByteArray("single volume\n"));
    EXPECT_EQ(glue->effectiveOutputItem().toLocalFile(), folder + QStringLiteral("/notes.txt"));
    ASSERT_FALSE(delegate.progress.isEmpty());
    EXPECT_DOUBLE_EQ(delegate.progress.last().fraction, 1.0);
    EXPECT_EQ(delegate.progress.last().byteCount, 14);
    EXPECT_EQ(delegate.progress.last().file, QStringLiteral("notes.txt"));

    ScriptedGlueDelegate unicode;
    extract(folder + QStringLiteral("/Grüße.rar"), QString(), unicode);
    EXPECT_EQ(unicode.result, UnrarOutcome::Finished) << unicode.error.code();
    EXPECT_EQ(readFile(folder + QStringLiteral("/Übung/ä.txt")), QByteArray("umlaut\n"));

    ScriptedGlueDelegate several;
    const auto multi = extract(folder + QStringLiteral("/multi.rar"), QString(), several);
    EXPECT_EQ(several.result, UnrarOutcome::Finished);
    EXPECT_EQ(multi->topLevelItems(), (QSet<QString>{"a.txt", "b.txt"}));
    EXPECT_EQ(multi->effectiveOutputItem().toLocalFile(), folder + QStringLiteral("/multi"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/multi/b.txt")), QByteArray("second\n"));

    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate oneFolder;
    const auto film = extract(folder + QStringLiteral("/film.rar"), dest, oneFolder);
    EXPECT_EQ(oneFolder.result, UnrarOutcome::Finished);
    EXPECT_EQ(film->effectiveOutputItem().toLocalFile(), dest + QStringLiteral("/film"));
    EXPECT_EQ(readFile(dest + QStringLiteral("/film/a.mkv")),
              readFile(folder + QStringLiteral("/src-film/film/a.mkv")));
    EXPECT_EQ(film->totalUnpackedByteCountInArchive(), 200000 + 15);
}

struct VolumeSet {
    const char* firstVolume;
    const char* data;
    const char* lastVolume;
};

class VolumeSchemes : public testing::TestWithParam<VolumeSet> {};

TEST_P(VolumeSchemes, ExtractTheWholeChainAndReportVolumeChanges) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-volumes"));
    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate delegate;
    extract(folder + QLatin1Char('/') + QLatin1String(GetParam().firstVolume), dest, delegate);
    ASSERT_EQ(delegate.result, UnrarOutcome::Finished) << delegate.error.code();
    const QString data = QLatin1String(GetParam().data);
    EXPECT_EQ(readFile(dest + QLatin1Char('/') + data), readFile(folder + QLatin1Char('/') + data));
    ASSERT_FALSE(delegate.volumes.isEmpty());
    EXPECT_EQ(delegate.volumes.last(),
              folder + QLatin1Char('/') + QLatin1String(GetParam().lastVolume));
}

INSTANTIATE_TEST_SUITE_P(
    Rar, VolumeSchemes,
    testing::Values(VolumeSet{"width1.part1.rar", "data-width1.bin", "width1.part4.rar"},
                    VolumeSet{"width2.part01.rar", "data-width2.bin", "width2.part14.rar"},
                    VolumeSet{"width3.part001.rar", "data-width3.bin", "width3.part123.rar"},
                    VolumeSet{"classic.rar", "data-classic.bin", "classic.r01"}),
    [](const testing::TestParamInfo<VolumeSet>& info) {
        return QString::fromLatin1(info.param.firstVolume).replace('.', '_').toStdString();
    });

TEST(VLMUnrarLibGlue, MissingMiddleVolumeFailsWithItsPath) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-volumes"));
    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate delegate;
    extract(folder + QStringLiteral("/gap.part1.rar"), dest, delegate);
    EXPECT_EQ(delegate.result, UnrarOutcome::Failed);
    EXPECT_EQ(delegate.error.domain(), VLMError::kUnrarDomain);
    EXPECT_EQ(delegate.error.code(), 15);
    EXPECT_EQ(delegate.error.userInfo().value(VLMUnrarLibGlue::kFilePathInErrorKey).toString(),
              folder + QStringLiteral("/gap.part2.rar"));
    EXPECT_FALSE(QFileInfo::exists(dest));
}

// The password is asked for once and used for every entry; an empty answer, or
// none, ends the run without asking again.
TEST(VLMUnrarLibGlue, APasswordIsAskedForOnceAndAnEmptyOneAborts) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    for (const std::optional<QString>& answer :
         {std::optional<QString>(QStringLiteral("secret")), std::optional<QString>(QString()),
          std::optional<QString>()}) {
        for (const QString& archive :
             {QStringLiteral("password.rar"), QStringLiteral("headers.rar")}) {
            SCOPED_TRACE(archive.toStdString() + " " + answer.value_or("<none>").toStdString());
            const QString dest = folder + QStringLiteral("/dest-") + archive;
            ScriptedGlueDelegate delegate;
            delegate.passwords = {answer, answer};
            extract(folder + QLatin1Char('/') + archive, dest, delegate);
            ASSERT_EQ(delegate.passwordQuestions.size(), 1);
            // Encrypted headers are asked for before any entry is known.
            EXPECT_EQ(delegate.passwordQuestions.first().isEmpty(), archive == "headers.rar");
            if (answer.value_or(QString()).isEmpty()) {
                EXPECT_EQ(delegate.result, UnrarOutcome::Failed);
                EXPECT_EQ(delegate.error.domain(), VLMError::kUnrarDomain);
                EXPECT_FALSE(QFileInfo::exists(dest + QStringLiteral("/locked/one.txt")));
            } else {
                EXPECT_EQ(delegate.result, UnrarOutcome::Finished);
                EXPECT_EQ(readFile(dest + QStringLiteral("/locked/two.txt")), QByteArray("two\n"));
                QDir(dest).removeRecursively();
            }
        }
    }
}

TEST(VLMUnrarLibGlue, NothingToUnpackNeitherDividesByZeroNorTouchesTheOutputFolder) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    ScriptedGlueDelegate zero;
    const auto zeroGlue = extract(folder + QStringLiteral("/zero.rar"), QString(), zero);
    EXPECT_EQ(zero.result, UnrarOutcome::Finished);
    EXPECT_EQ(zeroGlue->totalUnpackedByteCountInArchive(), 0);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/empty/nothing.txt")).isFile());
    for (const auto& step : zero.progress)
        EXPECT_TRUE(std::isfinite(step.fraction) && step.fraction <= 1.0);

    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate empty;
    const auto emptyGlue = extract(folder + QStringLiteral("/empty.rar"), dest, empty);
    EXPECT_EQ(empty.result, UnrarOutcome::Finished);
    EXPECT_TRUE(emptyGlue->topLevelItems().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dest));
    EXPECT_TRUE(empty.existingOutputQuestions.isEmpty());
}

TEST(VLMUnrarLibGlue, CancelInTheMiddleEndsCanceledWithoutError) {
    const QString folder =
        makeFixtures(QStringLiteral("make-rar-large"),
                     {QStringLiteral("64"), QStringLiteral("16"), QStringLiteral("0")});
    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate delegate;
    bool idleAfterStop = false;
    QStringList midway;
    delegate.onProgress = [&](VLMUnrarLibGlue* glue) {
        if (!glue->unrarCanceled()) {
            midway = treeOf(dest);
            glue->stopUnrar();
            idleAfterStop = !glue->unrarIsRunning();
        }
    };
    const auto glue = extract(folder + QStringLiteral("/large.part1.rar"), dest, delegate);
    EXPECT_EQ(delegate.result, UnrarOutcome::Canceled);
    EXPECT_TRUE(delegate.error.isNull());
    EXPECT_TRUE(idleAfterStop);
    EXPECT_LT(glue->unpackedByteCountSoFar(), glue->totalUnpackedByteCountInArchive() / 2);
    // The entry being written has a temporary name until it is complete; what
    // the stopped run wrote of it is gone.
    EXPECT_FALSE(midway.contains(QStringLiteral("large/random.bin")))
        << midway.join(u' ').toStdString();
    EXPECT_TRUE(midway.filter(QStringLiteral(".velmora-extracting-")).size() == 1)
        << midway.join(u' ').toStdString();
    EXPECT_EQ(treeOf(dest), QStringList{QStringLiteral("large")});
}

namespace {

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void appendLittleEndian(QByteArray& bytes, quint64 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(char(value >> (8 * i)));
}

// A RAR 4 block: its checksum, then the rest as given (type first).
QByteArray rar4Block(const QByteArray& rest) {
    QByteArray block;
    appendLittleEndian(block, crc32(rest) & 0xFFFF, 2);
    return block + rest;
}

// A stored, empty entry of RAR 4 that claims 2^63 - 2 bytes unpacked.
QByteArray hugeEntry(const QByteArray& name) {
    QByteArray rest;
    appendLittleEndian(rest, 0x74, 1);
    appendLittleEndian(rest, 0x8100, 2); // long block, large sizes
    appendLittleEndian(rest, 2 + 30 + 8 + name.size(), 2);
    appendLittleEndian(rest, 0, 4);          // packed size
    appendLittleEndian(rest, 0xFFFFFFFE, 4); // unpacked size, low part
    appendLittleEndian(rest, 3, 1);          // Unix
    appendLittleEndian(rest, 0, 4);          // data checksum
    appendLittleEndian(rest, 0x5A210000, 4); // time
    appendLittleEndian(rest, 20, 1);         // version
    appendLittleEndian(rest, 0x30, 1);       // stored
    appendLittleEndian(rest, name.size(), 2);
    appendLittleEndian(rest, 0x81A4, 4); // attributes
    appendLittleEndian(rest, 0, 4);      // packed size, high part
    appendLittleEndian(rest, 0x7FFFFFFF, 4);
    return rar4Block(rest + name);
}

} // namespace

TEST(VLMUnrarLibGlue, DeclaredSizesAddUpWithoutOverflow) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("huge"));
    QByteArray archive("Rar!\x1A\x07\x00", 7);
    archive += rar4Block(QByteArray("\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 11));
    archive += hugeEntry("a.bin") + hugeEntry("b.bin");
    archive += QByteArray("\xC4\x3D\x7B\x00\x40\x07\x00", 7);
    writeFile(folder + QStringLiteral("/huge.rar"), archive);
    ScriptedGlueDelegate delegate;
    const auto glue = extract(folder + QStringLiteral("/huge.rar"), folder + "/dest", delegate);
    EXPECT_EQ(glue->totalUnpackedByteCountInArchive(), std::numeric_limits<qint64>::max());
    for (const auto& step : delegate.progress)
        EXPECT_TRUE(step.fraction >= 0.0 && step.fraction <= 1.0);
}

TEST(VLMUnrarLibGlue, StartingTwiceRunsOnceAndTheGlueCanRunAgainWhenIdle) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString dest = folder + QStringLiteral("/dest");
    ScriptedGlueDelegate delegate;
    auto glue = VLMUnrarLibGlue::initWithRarFile(
        QUrl::fromLocalFile(folder + QStringLiteral("/multi.rar")), QUrl::fromLocalFile(dest));
    glue->setDelegate(&delegate);
    glue->startUnrar();
    glue->startUnrar();
    ASSERT_TRUE(delegate.waitForEnd());
    EXPECT_EQ(delegate.events.count(QStringLiteral("started")), 1);
    waitUntilReleased(glue);
    EXPECT_FALSE(glue->unrarIsRunning());
    ScriptedGlueDelegate second;
    second.existingOutputAction = ExistingOutputAction::Overwrite;
    glue->setDelegate(&second);
    glue->startUnrar();
    ASSERT_TRUE(second.waitForEnd());
    waitUntilReleased(glue);
    EXPECT_EQ(second.result, UnrarOutcome::Finished);
    // The second run goes into the same folder, not into multi/multi.
    EXPECT_EQ(glue->outputDirURL().toLocalFile(), dest + QStringLiteral("/multi"));
    EXPECT_EQ(second.existingOutputQuestions.size(), 1);
}

TEST(VLMUnrarLibGlue, ARunOutlivesItsOwnerAndADetachedDelegateHearsNothing) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    ScriptedGlueDelegate delegate;
    auto glue =
        VLMUnrarLibGlue::initWithRarFile(QUrl::fromLocalFile(folder + QStringLiteral("/film.rar")));
    const std::weak_ptr<VLMUnrarLibGlue> watcher = glue;
    glue->setDelegate(&delegate);
    glue->startUnrar();
    glue->setDelegate(nullptr);
    glue.reset();
    QElapsedTimer timer;
    timer.start();
    while (!watcher.expired() && timer.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(watcher.expired());
    EXPECT_TRUE(delegate.events.isEmpty());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/film/b.nfo")).isFile());
}
