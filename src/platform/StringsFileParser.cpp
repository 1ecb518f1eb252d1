#include "StringsFileParser.h"

namespace {

class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    bool atEnd() {
        skipBlanksAndComments();
        return m_pos >= m_text.size();
    }
    bool expect(QChar c) {
        skipBlanksAndComments();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool quoted(QString& out) {
        if (!expect(QLatin1Char('"')))
            return false;
        out.clear();
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c == QLatin1Char('"'))
                return true;
            out.append(c == QLatin1Char('\\') ? escaped() : c);
        }
        return false;
    }
    void skipToNextLine() {
        while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char('\n'))
            ++m_pos;
    }

private:
    QChar escaped() {
        if (m_pos >= m_text.size())
            return QLatin1Char('\\');
        const QChar c = m_text[m_pos++];
        if (c == QLatin1Char('n'))
            return QLatin1Char('\n');
        if (c == QLatin1Char('t'))
            return QLatin1Char('\t');
        return c;
    }
    void skipBlanksAndComments() {
        while (m_pos < m_text.size()) {
            if (m_text[m_pos].isSpace()) {
                ++m_pos;
            } else if (m_text.mid(m_pos, 2) == QLatin1String("//")) {
                skipToNextLine();
            } else if (m_text.mid(m_pos, 2) == QLatin1String("/*")) {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
                m_pos = end < 0 ? m_text.size() : end + 2;
            } else {
                return;
            }
        }
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

QHash<QString, QString> StringsFileParser::parse(const QString& source) {
    QHash<QString, QString> entries;
    Scanner scanner(source);
    while (!scanner.atEnd()) {
        QString key;
        QString value;
        if (scanner.quoted(key) && scanner.expect(QLatin1Char('=')) && scanner.quoted(value) &&
            scanner.expect(QLatin1Char(';')))
            entries.insert(key, value);
        else
            scanner.skipToNextLine();
    }
    return entries;
}
