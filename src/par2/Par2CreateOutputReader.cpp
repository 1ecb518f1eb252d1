#include "Par2CreateOutputReader.h"

#include <algorithm>

namespace {
constexpr QStringView kProcessing = u"Processing: ";
} // namespace

void Par2CreateOutputReader::resetForRun() {
    m_nextLineStart = 0;
    m_largestProgress = -1.0;
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
        filesChanged = setAllFilesToOKWhileCreating(m_model.m_FileStatus);
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
