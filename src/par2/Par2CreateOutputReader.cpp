#include "Par2CreateOutputReader.h"

#include <algorithm>

namespace {
constexpr QStringView kProcessing = u"Processing: ";
constexpr QStringView kOpening = u"Opening: ";
constexpr QStringView kBlockSize = u"Block size: ";
} // namespace

void Par2CreateOutputReader::resetForRun() {
    m_nextLineStart = 0;
    m_largestProgress = -1.0;
    m_model.m_OpenedSourceFiles.clear();
    m_model.m_BlockSize = 0;
    m_model.m_NumRecoverableFiles = 0;
}

void Par2CreateOutputReader::DetermineGenerateStateFromParOutput() {
    if (m_model.m_DocumentStatus == DocStatus::Aborted)
        return;
    const QString& text = m_model.m_ParMainOutput;
    const QStringView view(text);
    for (qsizetype lineEnd; (lineEnd = text.indexOf(u'\n', m_nextLineStart)) >= 0;) {
        readLine(view.sliced(m_nextLineStart, lineEnd - m_nextLineStart));
        m_nextLineStart = lineEnd + 1;
    }
    readLine(view.sliced(m_nextLineStart));
    const double rounded = m_largestProgress < 0.0 ? 0.0 : m_largestProgress + 0.5;
    m_model.m_Progress = int32_t(std::min(rounded, 100.0));
}

void Par2CreateOutputReader::readLine(QStringView line) {
    if (line.startsWith(kOpening) && m_nextLineStart + line.size() < m_model.m_ParMainOutput.size())
        m_model.m_OpenedSourceFiles.append(line.sliced(kOpening.size()).toString());
    else if (line.startsWith(kBlockSize))
        m_model.m_BlockSize = line.sliced(kBlockSize.size()).trimmed().toInt();
    if (!line.startsWith(kProcessing) || !line.endsWith(u'%'))
        return;
    if (setAllFilesToOKWhileCreating(m_model.m_FileStatus) && m_notice)
        m_notice();
    const double value = line.sliced(kProcessing.size()).chopped(1).trimmed().toDouble();
    m_largestProgress = std::max(m_largestProgress, value);
}

bool Par2CreateOutputReader::DetermineFinalStatusAfterGenerate(bool created) {
    if (m_model.m_DocumentStatus == DocStatus::Aborted) {
        m_model.m_DocumentStatus = DocStatus::ReadyToCreate;
        return false;
    }
    bool filesChanged = false;
    if (created) {
        m_model.m_DocumentStatus = DocStatus::Created;
        filesChanged = keepOnlyOpenedFiles();
        filesChanged |= setAllFilesToOKWhileCreating(m_model.m_FileStatus);
        m_model.m_NumRecoverableFiles = int32_t(m_model.m_FileStatus.size());
    } else {
        m_model.m_DocumentStatus = DocStatus::HelperErrors;
        for (FileStatus& record : m_model.m_FileStatus) {
            filesChanged |= record.fileStatus() != FileCode::ToBeProtected;
            record.setFileStatusForced(FileCode::ToBeProtected);
        }
    }
    if (filesChanged && m_notice)
        m_notice();
    return !created;
}

// par2 leaves out, without failing, a file that vanished before it could read
// it: the set holds what it opened, nothing else.
bool Par2CreateOutputReader::keepOnlyOpenedFiles() {
    if (m_model.m_OpenedSourceFiles.isEmpty())
        return false;
    const qsizetype before = m_model.m_FileStatus.size();
    m_model.m_FileStatus.removeIf([&](const std::pair<const QString&, FileStatus&>& entry) {
        return !m_model.m_OpenedSourceFiles.contains(entry.first);
    });
    return m_model.m_FileStatus.size() != before;
}

bool Par2CreateOutputReader::setAllFilesToOKWhileCreating(FileStatusMap& files) {
    bool changed = false;
    for (FileStatus& record : files) {
        const int32_t before = record.fileStatus();
        if (before == FileCode::Intact)
            break;
        record.setFileStatus(FileCode::Intact);
        changed |= record.fileStatus() != before;
    }
    return changed;
}
