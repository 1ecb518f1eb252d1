#pragma once

#include "document/StatisticsRecord.h"
#include "par1/Par1OutputModel.h"

#include <QStringView>
#include <functional>

// Reads the par helper's standard error during verify/repair and create runs
// into a Par1OutputModel, and settles the final status when the run is over.
//
// Every complete line is interpreted once, in order, which leaves the model as
// a re-read of the whole text after each chunk would. The unfinished last line
// is only read for the progress bar that is growing there: any other line may
// still change its ending (a name can hold " - OK"), so it waits for its line
// feed.
class Par1OutputParser {
public:
    enum class RunType { VerifyRepair, Create };
    // A record of either map changed; the key names a file fixed by renaming.
    using FileStatusNotice = std::function<void(const QString& emphasizeKey)>;

    explicit Par1OutputParser(Par1OutputModel& model) : m_model(model) {}

    void setFileStatusNotice(FileStatusNotice notice) { m_notice = std::move(notice); }
    // The main file's name, which two lines of a verify/repair run enter as a volume.
    void setMainFileName(const QString& name) { m_mainFileName = name; }

    // Appends a chunk as it came and reads what it completed. The first chunk
    // of a run finds the output text empty and starts the reading afresh.
    void ProcessStdErrData(const QString& text, RunType run);
    void DetermineRepairStateFromParOutput();
    void DetermineGenerateStateFromParOutput();
    // After the run; the output text ends in a line feed by then. `exitStatus`
    // is the helper's, 128 + the signal when one ended it.
    void DetermineFinalStatusAfterRecover(int exitStatus);
    void DetermineFinalStatusAfterGenerate();

    static void CountStatistics(const FileStatusMap& fileStatus, const FileStatusMap& pxxFileStatus,
                                StatisticsRecord& statistics);
    // The percentage a progress bar line stands for: ten per "----NN%" piece,
    // two per character of the piece still being written.
    static int32_t ProgressOfBar(QStringView line);

private:
    using LineRule = void (Par1OutputParser::*)(const QString& line);

    void resetReading();
    void readNewLines(LineRule rule);
    void interpretRepairLine(const QString& line);
    void interpretGenerateLine(const QString& line);
    bool interpretFileLine(const QString& line);

    void ProcessProgressionBar(QStringView line);
    void ProcessPxxFile(const QString& name);
    void ProcessRenameLine(const QString& rest);
    void ProcessFileFailedRecovery(const QString& name);
    void ProcessFileWithStatus(const QString& text, int32_t status);
    void ProcessFileWithVolSetInclusion(const QString& text, bool inVolumeSet);
    void RestoringStarted();
    bool finishUnrestoredFiles();
    void notify(const QString& emphasizeKey = QString());

    Par1OutputModel& m_model;
    FileStatusNotice m_notice;
    QString m_mainFileName;
    // Set while the lines being read list recovery volumes.
    bool m_ParFlag = false;
    // The found name of the last "    Rename: " line, for the "- FIXED" line after it.
    QString m_LastRenamed;
    // Where the first line not yet interpreted starts.
    qsizetype m_nextLineStart = 0;
};
