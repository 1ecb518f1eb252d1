#pragma once

#include "document/LineIterator.h"
#include "document/StatisticsRecord.h"
#include "par2/Par2OutputModel.h"

#include <QSet>
#include <QStringView>
#include <functional>

// Reads the par2 helper's output during a verify/repair run and keeps a
// Par2OutputModel up to date: file records, counters, progress and status.
//
// A run can write hundreds of thousands of progress lines, one write each, so
// the incremental reading interprets only the lines completed since its last
// pass. Because every line is interpreted exactly once, in order, it gives the
// model a full re-read would give. The full re-read (every complete line from
// the start, on every pass) is kept as the reference that tests and the
// benchmark compare against.
class Par2OutputParser {
public:
    enum class Rescan { Incremental, FullReread };
    // A record of either map changed; the key names a file found under another name.
    using FileStatusNotice = std::function<void(const QString& emphasizeKey)>;
    // Interpreting a line failed; the iterator's current line is the offending one.
    using FailureHandler = std::function<void(const LineIterator& lines)>;

    explicit Par2OutputParser(Par2OutputModel& model, Rescan rescan = Rescan::Incremental);

    void setFileStatusNotice(FileStatusNotice notice) { m_notice = std::move(notice); }
    void setFailureHandler(FailureHandler handler) { m_failureHandler = std::move(handler); }
    // Writes the error report, then shows "ErrorReportCreatedErr" and ends the
    // application from the main thread (the caller may hold the document lock).
    static void reportFailureAndQuit(const LineIterator& lines);

    // Forgets the counters, the pending and empty recovery files and the
    // reading position, for a new run.
    void resetForRun();
    // The names on the helper's argument list. Lines about other files cannot
    // come from the helper (a file name may hold a line feed and look like
    // lines of its own), so they are not read. With none given, every name is.
    void setGivenFiles(const QStringList& names);

    void ProcessStdOutData(const QString& text);
    void ProcessStdErrData(const QString& text);
    void DetermineRepairStateFromParOutput();
    // After the helper has exited; `exitStatus` is its exit status.
    void DetermineFinalStatusAfterRecover(int exitStatus, const QString& chosenDirectory);
    static void CountStatistics(const FileStatusMap& fileStatus, const Par2OutputModel& model,
                                StatisticsRecord& statistics);

    void SetCorruptMissingToRecoverable();
    void SetCorruptMissingToUnRecoverable();

private:
    void appendToOutput(const QString& chunk);
    void interpretNewLines();
    void interpretAllLines();
    void fail(LineIterator& lines);
    void interpretLine(QStringView line);

    void ParseTargetLine(QStringView line);
    void ProcessTargetFile(const QString& name, int32_t status);
    void ParseNumFilesLine(QStringView line);
    void ParseBlockSizeLine(QStringView line);
    void ParseFileLine(QStringView line);
    // The length of the given file name that `rest` starts with, followed by
    // "\" - ", or -1.
    qsizetype givenNameLength(QStringView rest) const;
    void ParseRenameLine(QStringView rest, qsizetype foundAt);
    void ParseFoundBlocksLine(QStringView line, QStringView rest, qsizetype foundAt);
    void ParseNeedMoreLine(QStringView line);
    void ParseDataBlocksAvailableLine(QStringView line);
    void ParseLoadingPar2Line(QStringView line);
    void ParseLoadedPar2Line(QStringView line);
    void ParseNoNewPacketsLine();
    void RepairIsPossible();
    void ParseProgressLine(QStringView line);

    void addEmptyPar2File();
    bool repairedAnything() const;
    void notify(const QString& emphasizeKey = QString());

    Par2OutputModel& m_model;
    Rescan m_rescan;
    FileStatusNotice m_notice;
    FailureHandler m_failureHandler = &Par2OutputParser::reportFailureAndQuit;
    // Incremental reading: where the first line not yet interpreted starts, and
    // how many lines came before it.
    qsizetype m_nextLineStart = 0;
    int32_t m_linesInterpreted = 0;
    bool m_failed = false;
    QSet<QString> m_givenFiles;
    // Between "Verifying source files:" and the next part, "File:" lines are
    // about the set's own files.
    bool m_verifyingSourceFiles = false;
};
