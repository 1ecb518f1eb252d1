#include "Par2OutputParser.h"

#include "document/UnattendedSupport.h"
#include "par2/Par2FileFixer.h"
#include "platform/MainThread.h"
#include "platform/StringTables.h"

#include <QCoreApplication>
#include <QDebug>
#include <algorithm>
#include <limits>

namespace {

constexpr QStringView kTarget = u"Target: \"";
constexpr QStringView kThereAre = u"There are ";
constexpr QStringView kRecoverableFilesAnd = u" recoverable files and ";
constexpr QStringView kOtherFiles = u" other files.";
constexpr QStringView kBlockSizeUsed = u"The block size used was ";
constexpr QStringView kBytes = u" bytes.";
constexpr QStringView kFile = u"File: \"";
constexpr QStringView kNameEnd = u"\" - ";
constexpr QStringView kVerifyingSourceFiles = u"Verifying source files:";
constexpr QStringView kIsAMatchFor = u"\" - is a match for \"";
constexpr QStringView kFound = u"\" - found ";
constexpr QStringView kNoDataFound = u"\" - no data found.";
constexpr QStringView kEmpty = u"\" - empty.";
constexpr QStringView kDuplicateDataBlocks = u" duplicate data blocks.";
constexpr QStringView kDataBlocksFrom = u" data blocks from \"";
constexpr QStringView kQuoteDot = u"\".";
constexpr QStringView kYouNeed = u"You need ";
constexpr QStringView kYouHave = u"You have ";
constexpr QStringView kOutOf = u" out of ";
constexpr QStringView kDataBlocksAvailable = u" data blocks available.";
constexpr QStringView kMoreRecoveryBlocks = u" more recovery blocks to be able to repair.";
constexpr QStringView kLoadingQuote = u"Loading \"";
constexpr QStringView kLoaded = u"Loaded ";
constexpr QStringView kNewPacketsIncluding = u" new packets including ";
constexpr QStringView kRecoveryBlocks = u" recovery blocks";
constexpr QStringView kNoNewPacketsFound = u"No new packets found";
constexpr QStringView kRepairIsPossible = u"Repair is possible.";
constexpr QStringView kRepairing = u"Repairing: ";
constexpr QStringView kProcessing = u"Processing: ";
// Both progress prefixes lose this many characters; "Processing: " keeps a blank.
constexpr qsizetype kProgressPrefixLength = 11;

const QString kContext = QStringLiteral("DetermineRepairStateFromParOutput");

// Leading white space, an optional sign and decimal digits; 0 without digits.
// Values beyond 32 bits are clamped.
int32_t integerValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), kLimit);
    return int32_t(std::clamp<int64_t>(negative ? -value : value,
                                       std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// The same for a number with a fraction. Read by hand: a progress line comes
// with every write of the helper.
double decimalValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const auto digitAt = [&](qsizetype at) {
        return at < text.size() && text[at] >= u'0' && text[at] <= u'9' ? text[at].unicode() - u'0'
                                                                        : -1;
    };
    double value = 0.0;
    for (; digitAt(i) >= 0; ++i)
        value = value * 10.0 + digitAt(i);
    if (i < text.size() && text[i] == u'.') {
        double scale = 0.1;
        for (++i; digitAt(i) >= 0; ++i, scale /= 10.0)
            value += digitAt(i) * scale;
    }
    return negative ? -value : value;
}

void logUnparsedLine(QStringView line) {
    qWarning().noquote() << QStringLiteral("Unable to parse line: %1").arg(line);
}

} // namespace

Par2OutputParser::Par2OutputParser(Par2OutputModel& model, Rescan rescan)
    : m_model(model), m_rescan(rescan) {}

void Par2OutputParser::reportFailureAndQuit(const LineIterator& lines) {
    lines.makeErrorReportInContext(kContext);
    MainThread::post([] {
        VLMLRunCriticalAlertPanel(QString(),
                                  StringTables::localized(QStringLiteral("ErrorReportCreatedErr")),
                                  QString(), QString(), QString());
        QCoreApplication::exit(EXIT_FAILURE);
    });
}

void Par2OutputParser::resetForRun() {
    m_model.m_NumOtherFiles = 0;
    m_model.m_NumRecoverableFiles = 0;
    m_model.m_BlockSize = 0;
    m_model.m_NumMissingBlocks = 0;
    m_model.m_NumUnavailableDataBlocks = 0;
    m_model.m_LoadingPar2File.reset();
    m_model.m_EmptyPar2Files.clear();
    m_nextLineStart = 0;
    m_linesInterpreted = 0;
    m_failed = false;
    m_verifyingSourceFiles = false;
}

void Par2OutputParser::setGivenFiles(const QStringList& names) {
    m_givenFiles = QSet<QString>(names.cbegin(), names.cend());
}

// ---- Standard output and standard error ------------------------------------

void Par2OutputParser::ProcessStdOutData(const QString& text) {
    QString chunk = text;
    chunk.replace(u'\r', u'\n');
    appendToOutput(chunk);
    if (!chunk.contains(u'\n'))
        return;
    if (m_model.m_IsVerifyRepairRun)
        DetermineRepairStateFromParOutput();
}

void Par2OutputParser::ProcessStdErrData(const QString& text) {
    qWarning().noquote() << QStringLiteral("par2 error info: %1").arg(text);
    if (text == QStringLiteral("\n") || text.contains(QStringLiteral("malloc:")) ||
        text.contains(QStringLiteral("trace:")) || text.contains(QStringLiteral("NSZombie")))
        return;
    QString chunk = text;
    chunk.replace(u'\r', u'\n');
    appendToOutput(chunk);
    if (m_model.m_IsVerifyRepairRun) {
        SetCorruptMissingToUnRecoverable();
        m_model.m_DocumentStatus = DocStatus::HelperErrors;
    }
}

// The characters are copied: appended to an empty text, the chunk itself would
// be shared, and the reader thread that made it lets go of it outside the
// document lock while the other reader may be appending.
void Par2OutputParser::appendToOutput(const QString& chunk) {
    m_model.m_ParMainOutput.append(QStringView(chunk));
}

// ---- Passes over the output -------------------------------------------------

void Par2OutputParser::DetermineRepairStateFromParOutput() {
    if (m_model.m_DocumentStatus == DocStatus::Aborted || m_failed)
        return;
    if (m_rescan == Rescan::Incremental)
        interpretNewLines();
    else
        interpretAllLines();
}

// Lines are cut at the line feeds of the whole text, and the text only grows
// during a run, so the lines completed since the last pass are exactly the
// ones after m_nextLineStart; the pending recovery file carries over.
void Par2OutputParser::interpretNewLines() {
    const QString& text = m_model.m_ParMainOutput;
    if (m_nextLineStart > text.size()) {
        m_nextLineStart = 0;
        m_linesInterpreted = 0;
    }
    const QStringView view(text);
    try {
        for (qsizetype lineEnd; (lineEnd = text.indexOf(u'\n', m_nextLineStart)) >= 0;) {
            interpretLine(view.sliced(m_nextLineStart, lineEnd - m_nextLineStart));
            m_nextLineStart = lineEnd + 1;
            ++m_linesInterpreted;
        }
    } catch (const std::exception&) {
        LineIterator lines(text, true);
        for (int32_t i = 0; i <= m_linesInterpreted; ++i)
            lines.NextLine();
        fail(lines);
    }
}

void Par2OutputParser::interpretAllLines() {
    m_model.m_LoadingPar2File.reset();
    m_verifyingSourceFiles = false;
    LineIterator lines(m_model.m_ParMainOutput, true);
    try {
        while (const std::optional<QString> line = lines.NextLine())
            interpretLine(*line);
    } catch (const std::exception&) {
        fail(lines);
    }
}

void Par2OutputParser::fail(LineIterator& lines) {
    m_failed = true;
    m_failureHandler(lines);
}

void Par2OutputParser::interpretLine(QStringView line) {
    if (line.endsWith(u':') && !line.startsWith(kFile) && !line.startsWith(kTarget))
        m_verifyingSourceFiles = line == kVerifyingSourceFiles;
    if (line.startsWith(kTarget))
        ParseTargetLine(line);
    else if (line.startsWith(kThereAre))
        ParseNumFilesLine(line);
    else if (line.startsWith(kBlockSizeUsed))
        ParseBlockSizeLine(line);
    else if (line.startsWith(kFile))
        ParseFileLine(line);
    else if (line.startsWith(kYouNeed))
        ParseNeedMoreLine(line);
    else if (line.startsWith(kYouHave) && line.endsWith(kDataBlocksAvailable))
        ParseDataBlocksAvailableLine(line);
    else if (line.startsWith(kLoadingQuote))
        ParseLoadingPar2Line(line);
    else if (line.startsWith(kLoaded))
        ParseLoadedPar2Line(line);
    else if (line.startsWith(kNoNewPacketsFound))
        ParseNoNewPacketsLine();
    else if (line == kRepairIsPossible)
        RepairIsPossible();
    else if (line.startsWith(kRepairing) || line.startsWith(kProcessing))
        ParseProgressLine(line);
}

// ---- Line kinds --------------------------------------------------------------

void Par2OutputParser::ParseTargetLine(QStringView line) {
    const QStringView rest = line.sliced(kTarget.size());
    const qsizetype quote = rest.lastIndexOf(u'"');
    if (quote < 0 || quote + 4 >= rest.size())
        return;
    const QStringView verdict = rest.sliced(quote + 4);
    int32_t status = 0;
    if (verdict.startsWith(u"found"))
        status = FileCode::Intact;
    else if (verdict.startsWith(u"missing"))
        status = FileCode::Missing;
    else if (verdict.startsWith(u"damaged") || verdict.startsWith(u"empty"))
        status = FileCode::Damaged;
    else
        return;
    ProcessTargetFile(rest.first(quote).toString(), status);
}

void Par2OutputParser::ProcessTargetFile(const QString& name, int32_t status) {
    const auto existing = m_model.m_FileStatus.find(name);
    if (existing == m_model.m_FileStatus.end()) {
        m_model.m_FileStatus.insert(name, FileStatus(name, status));
        notify();
        return;
    }
    const int32_t old = existing->fileStatus();
    if (old == status)
        return;
    // A file that was recoverable and now reads intact has been repaired.
    if ((old == FileCode::MissingRecoverable || old == FileCode::DamagedRecoverable) &&
        status == FileCode::Intact)
        status = FileCode::Repaired;
    existing->setFileStatus(status);
    notify();
}

void Par2OutputParser::ParseNumFilesLine(QStringView line) {
    if (m_model.m_NumRecoverableFiles != 0 || m_model.m_NumOtherFiles != 0)
        return;
    const QStringView rest = line.sliced(kThereAre.size());
    const qsizetype phrase = rest.indexOf(kRecoverableFilesAnd);
    if (!rest.endsWith(kOtherFiles) || phrase < 0)
        return;
    const QStringView others = rest.sliced(phrase + kRecoverableFilesAnd.size());
    const qsizetype othersEnd = others.indexOf(kOtherFiles);
    m_model.m_NumRecoverableFiles = integerValue(rest.first(phrase));
    m_model.m_NumOtherFiles = integerValue(others.first(othersEnd));
}

void Par2OutputParser::ParseBlockSizeLine(QStringView line) {
    if (m_model.m_BlockSize != 0)
        return;
    const QStringView rest = line.sliced(kBlockSizeUsed.size());
    const qsizetype end = rest.indexOf(kBytes);
    if (end >= 0)
        m_model.m_BlockSize = integerValue(rest.first(end));
}

qsizetype Par2OutputParser::givenNameLength(QStringView rest) const {
    for (qsizetype end = rest.indexOf(kNameEnd); end >= 0; end = rest.indexOf(kNameEnd, end + 1)) {
        if (m_givenFiles.isEmpty() || m_givenFiles.contains(rest.first(end).toString()))
            return end;
    }
    return -1;
}

// A set's own file without a single usable block reads "no data found" while
// the set's files are verified: it is there, and damaged. These lines name the
// file as the set stores it, not as par2 was given it.
void Par2OutputParser::ParseFileLine(QStringView line) {
    const QStringView rest = line.sliced(kFile.size());
    if (m_verifyingSourceFiles && rest.endsWith(kNoDataFound)) {
        ProcessTargetFile(rest.chopped(kNoDataFound.size()).toString(), FileCode::Damaged);
        return;
    }
    const qsizetype nameLength = givenNameLength(rest);
    if (nameLength < 0) {
        logUnparsedLine(line);
        return;
    }
    const QStringView verdict = rest.sliced(nameLength);
    if (verdict.startsWith(kIsAMatchFor))
        ParseRenameLine(rest, nameLength);
    else if (verdict.startsWith(kFound))
        ParseFoundBlocksLine(line, rest, nameLength);
    else if (verdict != kNoDataFound && verdict != kEmpty)
        logUnparsedLine(line);
}

void Par2OutputParser::ParseRenameLine(QStringView rest, qsizetype foundAt) {
    const QStringView after = rest.sliced(foundAt + kIsAMatchFor.size());
    if (!after.endsWith(kQuoteDot))
        return;
    const QString foundName = rest.first(foundAt).toString();
    const QString target = after.chopped(kQuoteDot.size()).toString();
    const auto existing = m_model.m_FileStatus.find(target);
    if (existing == m_model.m_FileStatus.end()) {
        m_model.m_FileStatus.insert(
            target, FileStatus(target, FileCode::FoundUnderOtherName, foundName, true));
    } else if (existing->fileStatus() != FileCode::FoundUnderOtherName) {
        existing->setFileStatus(FileCode::FoundUnderOtherName);
        existing->setAssociatedFilename(foundName);
    } else {
        return;
    }
    notify(target);
}

void Par2OutputParser::ParseFoundBlocksLine(QStringView line, QStringView rest, qsizetype foundAt) {
    const QStringView after = rest.sliced(foundAt + kFound.size());
    const qsizetype blank = after.indexOf(u' ');
    if (blank < 0) {
        logUnparsedLine(line);
        return;
    }
    int32_t count = integerValue(after.first(blank));
    QString target;
    if (after.contains(kDuplicateDataBlocks)) {
        count = -count;
    } else if (const qsizetype from = after.indexOf(kDataBlocksFrom); from >= 0) {
        const qsizetype targetStart = from + kDataBlocksFrom.size();
        if (!after.endsWith(kQuoteDot) || targetStart > after.size() - kQuoteDot.size())
            return;
        target =
            after.sliced(targetStart, after.size() - kQuoteDot.size() - targetStart).toString();
    }
    const QString name = rest.first(foundAt).toString();
    if (m_model.m_PxxFileStatus.contains(name))
        return;
    FileStatus record(name, FileCode::Intact, target, true);
    record.setNumRecoveryBlocks(count);
    m_model.m_PxxFileStatus.insert(name, record);
    notify();
}

void Par2OutputParser::ParseNeedMoreLine(QStringView line) {
    const QStringView rest = line.sliced(kYouNeed.size());
    const qsizetype end = rest.indexOf(kMoreRecoveryBlocks);
    if (end < 0)
        return;
    m_model.m_NumMissingBlocks = integerValue(rest.first(end));
    notify();
}

// "You have 142 out of 144 data blocks available."
void Par2OutputParser::ParseDataBlocksAvailableLine(QStringView line) {
    const QStringView rest = line.sliced(kYouHave.size());
    const qsizetype outOf = rest.indexOf(kOutOf);
    if (outOf < 0)
        return;
    const int32_t available = integerValue(rest.first(outOf));
    const int32_t total = integerValue(rest.sliced(outOf + kOutOf.size()));
    m_model.m_NumUnavailableDataBlocks = std::max(total - available, 0);
    notify();
}

void Par2OutputParser::ParseLoadingPar2Line(QStringView line) {
    const QStringView rest = line.sliced(kLoadingQuote.size());
    if (!rest.endsWith(kQuoteDot))
        return;
    const QString name = rest.chopped(kQuoteDot.size()).toString();
    if (!m_model.m_PxxFileStatus.contains(name))
        m_model.m_LoadingPar2File = name;
}

// A "Loaded" line whose count is not followed by " recovery blocks" is taken
// as a file that gave no recovery block.
void Par2OutputParser::ParseLoadedPar2Line(QStringView line) {
    if (!m_model.m_LoadingPar2File)
        return;
    int32_t count = 0;
    if (const qsizetype phrase = line.indexOf(kNewPacketsIncluding); phrase >= 0) {
        const QStringView rest = line.sliced(phrase + kNewPacketsIncluding.size());
        const qsizetype end = rest.indexOf(kRecoveryBlocks);
        if (end >= 0)
            count = integerValue(rest.first(end));
    }
    if (count <= 0) {
        addEmptyPar2File();
        return;
    }
    const QString name = *std::exchange(m_model.m_LoadingPar2File, std::nullopt);
    FileStatus record(name, FileCode::Intact);
    record.setNumRecoveryBlocks(count);
    m_model.m_PxxFileStatus.insert(name, record);
    notify();
}

void Par2OutputParser::ParseNoNewPacketsLine() {
    if (m_model.m_LoadingPar2File)
        addEmptyPar2File();
}

void Par2OutputParser::addEmptyPar2File() {
    const QString name = *std::exchange(m_model.m_LoadingPar2File, std::nullopt);
    if (!m_model.m_EmptyPar2Files.contains(name))
        m_model.m_EmptyPar2Files.append(name);
}

void Par2OutputParser::RepairIsPossible() {
    if (m_model.m_DocumentStatus != DocStatus::Aborted)
        m_model.m_DocumentStatus = DocStatus::Repairing;
    SetCorruptMissingToRecoverable();
}

void Par2OutputParser::ParseProgressLine(QStringView line) {
    const QStringView rest = line.sliced(kProgressPrefixLength);
    if (!rest.endsWith(u'%'))
        return;
    const double value = decimalValue(rest.chopped(1));
    if (value > m_model.m_Progress)
        m_model.m_Progress = int32_t(std::min(value, 100.0));
}

// ---- Bulk changes and the end of the run --------------------------------------

void Par2OutputParser::SetCorruptMissingToRecoverable() {
    if (::SetCorruptMissingToRecoverable(m_model.m_FileStatus))
        notify();
}

void Par2OutputParser::SetCorruptMissingToUnRecoverable() {
    if (::SetCorruptMissingToUnRecoverable(m_model.m_FileStatus))
        notify();
}

// Exit statuses 3 to 8 are par2's failures (bad arguments, unusable set, repair
// failed, file, logic or memory errors); above 8 the helper died of a signal.
void Par2OutputParser::DetermineFinalStatusAfterRecover(int exitStatus,
                                                        const QString& chosenDirectory) {
    if (m_model.m_DocumentStatus == DocStatus::Aborted)
        return;
    if (exitStatus >= 3) {
        // A failed or killed repair restored nothing it had not reported.
        if (::SetRecoverableToUnrecoverable(m_model.m_FileStatus))
            notify();
        SetCorruptMissingToUnRecoverable();
        m_model.m_DocumentStatus = DocStatus::HelperErrors;
        return;
    }
    if (m_model.m_NumMissingBlocks > 0) {
        SetCorruptMissingToUnRecoverable();
        m_model.m_DocumentStatus = DocStatus::RepairImpossible;
        Par2FileFixer::FixFilenames(chosenDirectory, m_model.m_FileStatus);
        return;
    }
    const bool wrongNames =
        m_model.m_ParMainOutput.contains(QStringLiteral("file(s) have the wrong name.\n"));
    if (repairedAnything())
        m_model.m_DocumentStatus = wrongNames ? DocStatus::RepairedWrongNames : DocStatus::Repaired;
    else
        m_model.m_DocumentStatus =
            wrongNames ? DocStatus::AllIntactWrongNames : DocStatus::AllIntact;
}

// par2 says "Repair is possible." also when all it does is rename files back;
// then it adds that no recovery block will be used. Files rebuilt from data
// blocks found elsewhere still count as repaired.
bool Par2OutputParser::repairedAnything() const {
    const QString& output = m_model.m_ParMainOutput;
    if (!output.contains(QStringLiteral("Repair is possible.\n")))
        return false;
    if (!output.contains(
            QStringLiteral("None of the recovery blocks will be used for the repair.\n")))
        return true;
    return std::any_of(
        m_model.m_FileStatus.cbegin(), m_model.m_FileStatus.cend(),
        [](const FileStatus& record) { return record.fileStatus() == FileCode::Repaired; });
}

void Par2OutputParser::CountStatistics(const FileStatusMap& fileStatus,
                                       const Par2OutputModel& model, StatisticsRecord& statistics) {
    uint32_t unverified = 0;
    uint32_t listed = 0;
    for (const FileStatus& record : fileStatus) {
        if (record.removal() != FileStatus::Removal::None) {
            ++statistics.removedFiles;
            continue;
        }
        switch (record.fileStatus()) {
        case FileCode::Intact:
        case FileCode::FoundUnderOtherName:
        case FileCode::Repaired:
            ++statistics[StatisticsRecord::IntactFiles];
            break;
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
        case FileCode::ToBeProtected:
            ++statistics[StatisticsRecord::IntactFiles];
            ++unverified;
            break;
        case FileCode::NotExamined:
            ++listed;
            break;
        default:
            break;
        }
    }
    const auto counter = [](int32_t value) { return uint32_t(std::max(value, 0)); };
    // Until the helper has counted the set's files, the files the set lists
    // (shown while it waits for its turn) are the total.
    statistics[StatisticsRecord::TotalFiles] =
        unverified + std::max(counter(model.m_NumRecoverableFiles), listed);
    statistics[StatisticsRecord::BlockSize] = counter(model.m_BlockSize);
    statistics[StatisticsRecord::MissingBlocks] = counter(model.m_NumMissingBlocks);
    // A complete repair rebuilt every block the verification found missing or damaged.
    const bool repaired = model.m_DocumentStatus == DocStatus::Repaired ||
                          model.m_DocumentStatus == DocStatus::RepairedWrongNames;
    statistics.unavailableBlocks = repaired ? 0 : counter(model.m_NumUnavailableDataBlocks);
}

void Par2OutputParser::notify(const QString& emphasizeKey) {
    if (m_notice)
        m_notice(emphasizeKey);
}
