#include "Par1OutputParser.h"

#include "document/TextFunctions.h"

#include <algorithm>

namespace {

const QString kRestoring = QStringLiteral("Restoring:");
const QString kProgressBar = QStringLiteral("0%");
const QString kOk = QStringLiteral("- OK");
const QString kNotInVolumeSet = QStringLiteral("- not in PAR volume set");
const QString kInVolumeSet = QStringLiteral("- in PAR volume set");
const QString kCorrupt = QStringLiteral("- CORRUPT");
const QString kNotFound = QStringLiteral("- NOT FOUND");
const QString kRecovered = QStringLiteral("- RECOVERED");
const QString kNotRestored = QStringLiteral("- NOT RESTORED");
const QString kCanBeRestored = QStringLiteral("- can be restored");
const QString kRename = QStringLiteral("    Rename: ");
const QString kRenameArrow = QStringLiteral(" -> ");
const QString kMovedAsideSuffix = QStringLiteral(".bad");
const QString kFixed = QStringLiteral("- FIXED");
const QString kLookingForVolumes = QStringLiteral("Looking for PXX volumes:");
const QString kLookingForAdditionalVolumes = QStringLiteral("Looking for additional PXX volumes:");
const QString kCreatingVolumes = QStringLiteral("Creating PAR volumes:");

constexpr qsizetype kBarPieceLength = 7;

// The helper's messages are whole lines: a file name may hold their words.
bool hasLine(const QString& text, QStringView line) {
    for (qsizetype at = text.indexOf(line); at >= 0; at = text.indexOf(line, at + 1)) {
        const qsizetype end = at + line.size();
        if ((at == 0 || text[at - 1] == u'\n') && (end == text.size() || text[end] == u'\n'))
            return true;
    }
    return false;
}

QString trimmed(const QString& text) {
    QString name = text;
    StripSpaces(name);
    return name;
}

} // namespace

// ---- Reading the output ----------------------------------------------------

void Par1OutputParser::ProcessStdErrData(const QString& text, RunType run) {
    if (m_model.m_ParMainOutput.isEmpty())
        resetReading();
    m_model.m_ParMainOutput += text;
    if (run == RunType::VerifyRepair)
        DetermineRepairStateFromParOutput();
    else
        DetermineGenerateStateFromParOutput();
}

void Par1OutputParser::resetReading() {
    m_ParFlag = false;
    m_LastRenamed.clear();
    m_nextLineStart = 0;
}

void Par1OutputParser::DetermineRepairStateFromParOutput() {
    readNewLines(&Par1OutputParser::interpretRepairLine);
}

void Par1OutputParser::DetermineGenerateStateFromParOutput() {
    readNewLines(&Par1OutputParser::interpretGenerateLine);
}

// Nothing is read after the user stopped the run.
void Par1OutputParser::readNewLines(LineRule rule) {
    if (m_model.m_DocumentStatus == DocStatus::Aborted)
        return;
    const QString& text = m_model.m_ParMainOutput;
    for (qsizetype end; (end = text.indexOf(QLatin1Char('\n'), m_nextLineStart)) >= 0;) {
        const QString line = text.mid(m_nextLineStart, end - m_nextLineStart);
        m_nextLineStart = end + 1;
        (this->*rule)(line);
    }
    const QStringView unfinished = QStringView(text).mid(m_nextLineStart);
    if (unfinished.startsWith(kProgressBar))
        ProcessProgressionBar(unfinished);
}

void Par1OutputParser::interpretRepairLine(const QString& line) {
    if (line == kRestoring)
        RestoringStarted();
    else if (LineStartsWith(line, kProgressBar))
        ProcessProgressionBar(line);
    else if (interpretFileLine(line))
        return;
    else if (LineStartsWith(line, kRename))
        ProcessRenameLine(StripFromHead(line, kRename));
    else if (LineEndsIn(line, kFixed))
        ProcessFileWithStatus(StripFromTail(line, kFixed), FileCode::FoundUnderOtherName);
    else if (line == kLookingForVolumes)
        m_ParFlag = true;
    else if (line == kLookingForAdditionalVolumes) {
        m_ParFlag = true;
        ProcessPxxFile(m_mainFileName);
    }
}

// The lines that report on one file by their ending; true when the line was one.
bool Par1OutputParser::interpretFileLine(const QString& line) {
    if (LineEndsIn(line, kOk)) {
        const QString rest = StripFromTail(line, kOk);
        if (m_ParFlag)
            ProcessPxxFile(rest);
        else
            ProcessFileWithStatus(rest, FileCode::Intact);
    } else if (LineEndsIn(line, kNotInVolumeSet)) {
        ProcessFileWithVolSetInclusion(StripFromTail(line, kNotInVolumeSet), false);
    } else if (LineEndsIn(line, kInVolumeSet)) {
        ProcessFileWithVolSetInclusion(StripFromTail(line, kInVolumeSet), true);
    } else if (LineEndsIn(line, kCorrupt)) {
        ProcessFileWithStatus(StripFromTail(line, kCorrupt), FileCode::Damaged);
    } else if (LineEndsIn(line, kNotFound)) {
        ProcessFileWithStatus(StripFromTail(line, kNotFound), FileCode::Missing);
    } else if (LineEndsIn(line, kRecovered)) {
        ProcessFileWithStatus(StripFromTail(line, kRecovered), FileCode::Repaired);
    } else if (LineEndsIn(line, kNotRestored)) {
        ProcessFileFailedRecovery(StripFromTail(line, kNotRestored));
    } else {
        return LineEndsIn(line, kCanBeRestored);
    }
    return true;
}

void Par1OutputParser::interpretGenerateLine(const QString& line) {
    if (LineStartsWith(line, kProgressBar)) {
        ProcessProgressionBar(line);
    } else if (LineEndsIn(line, kOk)) {
        const QString rest = StripFromTail(line, kOk);
        if (m_ParFlag)
            ProcessPxxFile(rest);
        else
            ProcessFileWithStatus(rest, FileCode::Intact);
    } else if (line == kCreatingVolumes) {
        m_ParFlag = true;
    }
}

// ---- What one line does ----------------------------------------------------

void Par1OutputParser::RestoringStarted() {
    m_model.m_DocumentStatus = DocStatus::Repairing;
    if (SetCorruptMissingToRecoverable(m_model.m_FileStatus))
        notify();
    if (m_model.m_PxxFileStatus.isEmpty())
        ProcessPxxFile(m_mainFileName);
}

int32_t Par1OutputParser::ProgressOfBar(QStringView line) {
    const qsizetype length = line.size() - kProgressBar.size();
    if (length < 1)
        return 0;
    const qsizetype progress =
        length / kBarPieceLength * 10 + 2 * std::min<qsizetype>(length % kBarPieceLength, 4);
    return int32_t(std::min<qsizetype>(progress, 100));
}

void Par1OutputParser::ProcessProgressionBar(QStringView line) {
    m_model.m_Progress = ProgressOfBar(line);
}

void Par1OutputParser::ProcessPxxFile(const QString& text) {
    const QString name = trimmed(text);
    if (name.isEmpty() || m_model.m_PxxFileStatus.contains(name))
        return;
    m_model.m_PxxFileStatus.insert(name, FileStatus(name, FileCode::Intact));
    notify();
}

void Par1OutputParser::ProcessRenameLine(const QString& rest) {
    const qsizetype arrow = rest.indexOf(kRenameArrow);
    if (arrow < 0) {
        m_LastRenamed.clear();
        return;
    }
    m_LastRenamed = trimmed(rest.left(arrow));
    if (m_LastRenamed.endsWith(kMovedAsideSuffix))
        m_LastRenamed.chop(kMovedAsideSuffix.size());
}

void Par1OutputParser::ProcessFileFailedRecovery(const QString& text) {
    const QString name = trimmed(text);
    const int32_t status = m_model.m_FileStatus.value(name).fileStatus();
    if (status == FileCode::DamagedRecoverable)
        ProcessFileWithStatus(name, FileCode::DamagedUnrecoverable);
    else if (status == FileCode::MissingRecoverable)
        ProcessFileWithStatus(name, FileCode::MissingUnrecoverable);
}

void Par1OutputParser::ProcessFileWithStatus(const QString& text, int32_t status) {
    const QString name = trimmed(text);
    if (name.isEmpty())
        return;
    const QString emphasizeKey = status == FileCode::FoundUnderOtherName ? name : QString();
    auto entry = m_model.m_FileStatus.find(name);
    if (entry == m_model.m_FileStatus.end()) {
        entry = m_model.m_FileStatus.insert(name, FileStatus(name, status));
        notify(emphasizeKey);
    } else {
        // A file outside the volume set cannot be restored.
        if (!entry->fileInVolumeSet() && status == FileCode::Damaged)
            status = FileCode::DamagedUnrecoverable;
        else if (!entry->fileInVolumeSet() && status == FileCode::Missing)
            status = FileCode::MissingUnrecoverable;
        if (entry->fileStatus() != status) {
            entry->setFileStatus(status);
            notify(emphasizeKey);
        }
    }
    if (status == FileCode::FoundUnderOtherName)
        entry->setAssociatedFilename(m_LastRenamed.isEmpty() ? QString() : m_LastRenamed);
}

void Par1OutputParser::ProcessFileWithVolSetInclusion(const QString& text, bool inVolumeSet) {
    const QString name = trimmed(text);
    if (name.isEmpty())
        return;
    auto entry = m_model.m_FileStatus.find(name);
    if (entry == m_model.m_FileStatus.end()) {
        FileStatus record(name, FileCode::NotExamined);
        record.setFileInVolumeSet(inVolumeSet);
        m_model.m_FileStatus.insert(name, record);
    } else if (entry->fileInVolumeSet() != inVolumeSet) {
        entry->setFileInVolumeSet(inVolumeSet);
    } else {
        return;
    }
    notify();
}

void Par1OutputParser::notify(const QString& emphasizeKey) {
    if (m_notice)
        m_notice(emphasizeKey);
}

// ---- End of a run ----------------------------------------------------------

// A helper that died of a signal, or ended without any of its closing lines,
// did not finish: whatever it set out to restore is not restored.
void Par1OutputParser::DetermineFinalStatusAfterRecover(int exitStatus) {
    if (m_model.m_DocumentStatus == DocStatus::Aborted)
        return;
    DetermineRepairStateFromParOutput();
    const QString& text = m_model.m_ParMainOutput;
    const bool finished = exitStatus >= 0 && exitStatus < 128;
    if (finished && hasLine(text, u"Too many missing files:")) {
        if (SetCorruptMissingToUnRecoverable(m_model.m_FileStatus))
            notify();
        m_model.m_DocumentStatus = DocStatus::RepairImpossible;
        return;
    }
    const bool fixed = text.contains(QStringLiteral("- FIXED\n"));
    int32_t status = DocStatus::Idle;
    if (!finished || hasLine(text, u"Errors occurred.") ||
        text.contains(QStringLiteral("- NOT RESTORED\n")))
        status = DocStatus::HelperErrors;
    else if (hasLine(text, u"All files found"))
        status = fixed ? DocStatus::AllIntactWrongNames : DocStatus::AllIntact;
    else if (hasLine(text, u"All recoverable files found"))
        status = fixed ? DocStatus::RestorableIntactWrongNames : DocStatus::RestorableIntact;
    else if (text.contains(QStringLiteral("- RECOVERED\n")))
        status = finishUnrestoredFiles()
                     ? DocStatus::HelperErrors
                     : (fixed ? DocStatus::RepairedWrongNames : DocStatus::Repaired);
    else if (hasLine(text, u"Not a PAR file") ||
             text.startsWith(QStringLiteral("Error reading PAR file")))
        status = DocStatus::NotARecoveryFile;
    else
        status = DocStatus::HelperErrors;
    if (status == DocStatus::HelperErrors)
        finishUnrestoredFiles();
    m_model.m_DocumentStatus = status;
}

// A failed run leaves every file it has not restored as not restored.
bool Par1OutputParser::finishUnrestoredFiles() {
    // Both passes run, whatever the first one found.
    const bool recoverable = SetRecoverableToUnrecoverable(m_model.m_FileStatus);
    const bool damaged = SetCorruptMissingToUnRecoverable(m_model.m_FileStatus);
    const bool any = recoverable || damaged;
    if (any)
        notify();
    return any;
}

// The helper lists the files it wrote, the main file first, only once all of
// them are complete; without that list nothing was created.
void Par1OutputParser::DetermineFinalStatusAfterGenerate() {
    if (m_model.m_DocumentStatus == DocStatus::Aborted) {
        m_model.m_DocumentStatus = DocStatus::ReadyToCreate;
        return;
    }
    DetermineGenerateStateFromParOutput();
    if (m_model.m_PxxFileStatus.contains(m_mainFileName)) {
        m_model.m_DocumentStatus = DocStatus::Created;
        return;
    }
    for (FileStatus& record : m_model.m_FileStatus)
        record.setFileStatusForced(FileCode::ToBeProtected);
    notify();
    m_model.m_DocumentStatus = DocStatus::HelperErrors;
}

void Par1OutputParser::CountStatistics(const FileStatusMap& fileStatus,
                                       const FileStatusMap& pxxFileStatus,
                                       StatisticsRecord& statistics) {
    for (const FileStatus& record : fileStatus) {
        if (record.removal() != FileStatus::Removal::None) {
            ++statistics.removedFiles;
            continue;
        }
        switch (record.fileStatus()) {
        case FileCode::Intact:
        case FileCode::FoundUnderOtherName:
        case FileCode::Repaired:
        case FileCode::ToBeProtected:
            ++statistics[StatisticsRecord::IntactFiles];
            continue;
        case FileCode::Damaged:
        case FileCode::DamagedRecoverable:
        case FileCode::DamagedUnrecoverable:
            ++statistics[StatisticsRecord::DamagedFiles];
            break;
        case FileCode::Missing:
        case FileCode::MissingRecoverable:
        case FileCode::MissingUnrecoverable:
            ++statistics[StatisticsRecord::MissingFiles];
            break;
        default:
            continue;
        }
        if (!record.fileInVolumeSet())
            ++statistics[StatisticsRecord::BadFilesNotInVolumeSet];
    }
    statistics[StatisticsRecord::RecoveryVolumesFound] += countRecoveryFilesPresent(pxxFileStatus);
}
