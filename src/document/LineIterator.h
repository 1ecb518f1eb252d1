#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>

// Cuts a text at its line feeds and hands the lines out one at a time. With
// complete-lines-only, an unfinished last line (no line feed yet) is held back.
class LineIterator {
public:
    LineIterator() = default;
    explicit LineIterator(const QString& text, bool completeLinesOnly = false);

    static LineIterator LineIteratorWithString(const QString& text,
                                               bool completeLinesOnly = false) {
        return LineIterator(text, completeLinesOnly);
    }

    // The next line, or nothing past the end.
    std::optional<QString> NextLine();
    void Reset();

    // Appends the lines and the offending line to "Velmora error report.txt" on
    // the user's desktop, so the output that confused a parser can be sent in.
    void makeErrorReportInContext(const QString& context) const;

    int32_t currentLine() const { return m_currentLine; }
    int32_t lineCount() const { return m_lineCount; }

private:
    int32_t m_currentLine = -1;
    std::optional<QStringList> m_lines;
    int32_t m_lineCount = 0;
};
