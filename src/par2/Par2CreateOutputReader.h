#pragma once

#include "par2/Par2OutputModel.h"

#include <functional>

// Reads the par2 helper's output while it creates a set. The largest
// "Processing: N%" value becomes the progress, and such a line means the
// subject files are being protected, so they are shown as done. The files it
// opens and the block size make the created set's rows and counts.
//
// Like the verify/repair parser it reads only the lines completed since its
// last pass, plus the unfinished last line, which it reads again once complete;
// the largest value and the files marked done only grow, so this gives what a
// full re-read of the output would give.
class Par2CreateOutputReader {
public:
    using FileStatusNotice = std::function<void()>;

    explicit Par2CreateOutputReader(Par2OutputModel& model) : m_model(model) {}
    void setFileStatusNotice(FileStatusNotice notice) { m_notice = std::move(notice); }

    void resetForRun();
    // On every chunk of standard output with a line feed.
    void DetermineGenerateStateFromParOutput();
    // After the helper has exited. `created`: it exited with 0 and left the set's
    // main file. An aborted run (status 3) is back at 10; a created set is 12;
    // anything else failed (15, files back to 10). Answers whether it failed.
    bool DetermineFinalStatusAfterGenerate(bool created);

    // Sets the subject files to 1 in map order, up to the first one already at
    // 1. Answers whether any changed.
    static bool setAllFilesToOKWhileCreating(FileStatusMap& files);

private:
    void readLine(QStringView line);
    bool keepOnlyOpenedFiles();

    Par2OutputModel& m_model;
    FileStatusNotice m_notice;
    qsizetype m_nextLineStart = 0;
    double m_largestProgress = -1.0;
};
