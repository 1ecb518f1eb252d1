#include "LineIterator.h"

#include "platform/AppInfo.h"

#include <QFile>

namespace {

const QString kReportFileName = QStringLiteral("Velmora error report.txt");

// Every piece gets its own byte-order mark, in the machine's byte order.
void writePiece(QFile& file, const QString& text) {
    const char16_t mark = 0xFEFF;
    file.write(reinterpret_cast<const char*>(&mark), sizeof mark);
    file.write(reinterpret_cast<const char*>(text.utf16()),
               text.size() * qsizetype(sizeof(char16_t)));
}

bool openForAppending(QFile& file) {
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

} // namespace

LineIterator::LineIterator(const QString& text, bool completeLinesOnly)
    : m_currentLine(0), m_lines(text.split(QLatin1Char('\n'))) {
    m_lineCount = int32_t(m_lines->size());
    if (completeLinesOnly && !text.endsWith(QLatin1Char('\n')))
        --m_lineCount;
}

std::optional<QString> LineIterator::NextLine() {
    if (m_currentLine < 0 || !m_lines || m_currentLine >= m_lineCount)
        return std::nullopt;
    return m_lines->at(m_currentLine++);
}

void LineIterator::Reset() {
    if (m_lines)
        m_currentLine = 0;
}

void LineIterator::makeErrorReportInContext(const QString& context) const {
    QFile file(AppInfo::desktopFolder() + QLatin1Char('/') + kReportFileName);
    if (!openForAppending(file))
        return;
    const QString hyphens = QString(70, QLatin1Char('-')) + QLatin1Char('\n');
    writePiece(file, QString(70, QLatin1Char('=')) + QLatin1Char('\n'));
    writePiece(file, QStringLiteral("Error in %1\n").arg(context));
    writePiece(file, QStringLiteral("Velmora version %1\n\n").arg(AppInfo::shortVersion()));
    if (!m_lines) {
        writePiece(file, QStringLiteral("<Empty line iterator>"));
        return;
    }
    writePiece(file, hyphens);
    for (int32_t i = 0; i < m_lineCount; ++i)
        writePiece(file, m_lines->at(i) + QLatin1Char('\n'));
    writePiece(file, hyphens);
    if (m_currentLine < 1) {
        writePiece(file, QStringLiteral("\n<No current line>\n"));
        return;
    }
    writePiece(file, QStringLiteral("\nOffending line #%1:\n").arg(m_currentLine));
    writePiece(file, m_lines->at(m_currentLine - 1) + QLatin1Char('\n'));
}
