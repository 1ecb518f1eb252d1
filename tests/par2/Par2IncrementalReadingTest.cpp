#include "Par2TestSupport.h"
#include "par2/Par2OutputParser.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Feeds the same chunks to an incremental reading and to a full re-read and
// compares their whole models after every chunk.
struct ParallelReadings {
    ParallelReadings() {
        for (Par2OutputModel* model : {&m_incremental, &m_full}) {
            model->m_DocumentStatus = DocStatus::Verifying;
            model->m_Progress = -1;
        }
    }

    void stdOut(const QString& chunk) {
        m_incrementalParser.ProcessStdOutData(chunk);
        m_fullParser.ProcessStdOutData(chunk);
    }
    void stdErr(const QString& chunk) {
        m_incrementalParser.ProcessStdErrData(chunk);
        m_fullParser.ProcessStdErrData(chunk);
    }

    Par2OutputModel m_incremental, m_full;
    Par2OutputParser m_incrementalParser{m_incremental, Par2OutputParser::Rescan::Incremental};
    Par2OutputParser m_fullParser{m_full, Par2OutputParser::Rescan::FullReread};
};

// Chunks of 1 to 40 characters, cutting lines (and carriage returns) anywhere.
QStringList randomChunksOf(const QString& output, quint32 seed) {
    QRandomGenerator random(seed);
    QStringList chunks;
    for (qsizetype at = 0; at < output.size();) {
        const qsizetype size = random.bounded(1, 41);
        chunks.append(output.mid(at, size));
        at += size;
    }
    return chunks;
}

} // namespace

TEST(Par2IncrementalReading, GivesTheModelOfAFullReReadAfterEveryChunkOfRecordedRuns) {
    for (const QString& name : kRecordedCases) {
        const RecordedRun run = RecordedRun::load(name);
        for (const bool realWrites : {true, false}) {
            SCOPED_TRACE(name.toStdString() + (realWrites ? " (par2's writes)" : " (random cuts)"));
            ParallelReadings feed;
            const QStringList chunks =
                realWrites ? writesOf(run.stdOut) : randomChunksOf(run.stdOut, 7);
            for (qsizetype i = 0; i < chunks.size(); ++i) {
                feed.stdOut(chunks[i]);
                ASSERT_EQ(feed.m_incremental, feed.m_full) << "after chunk " << i;
            }
            if (!run.stdErr.isEmpty()) {
                feed.stdErr(run.stdErr);
                EXPECT_EQ(feed.m_incremental, feed.m_full);
            }
            feed.m_incrementalParser.DetermineFinalStatusAfterRecover(run.exitStatus, QString());
            feed.m_fullParser.DetermineFinalStatusAfterRecover(run.exitStatus, QString());
            EXPECT_EQ(feed.m_incremental, feed.m_full);
        }
    }
}

// The one difference, by design: a full re-read meets "Repair is possible."
// again after standard error set status 15 and puts 2 back; reading every
// line once keeps 15 until the run ends.
TEST(Par2IncrementalReading, KeepsTheErrorStatusThatAFullReReadWouldFlipBack) {
    ParallelReadings feed;
    const QStringList chunks = writesOf(RecordedRun::load(QStringLiteral("repaired")).stdOut);
    qsizetype i = 0;
    while (i < chunks.size() && !chunks[i].startsWith(QStringLiteral("Repair is possible.")))
        feed.stdOut(chunks[i++]);
    feed.stdOut(chunks[i++]);
    ASSERT_EQ(feed.m_incremental.m_DocumentStatus, DocStatus::Repairing);
    feed.stdErr(QStringLiteral("write error\n"));
    for (; i < chunks.size(); ++i) {
        feed.stdOut(chunks[i]);
        EXPECT_EQ(feed.m_incremental.m_DocumentStatus, DocStatus::HelperErrors);
        EXPECT_EQ(feed.m_full.m_DocumentStatus, DocStatus::Repairing);
        Par2OutputModel full = feed.m_full;
        full.m_DocumentStatus = DocStatus::HelperErrors;
        ASSERT_EQ(feed.m_incremental, full) << "after chunk " << i;
    }
}
