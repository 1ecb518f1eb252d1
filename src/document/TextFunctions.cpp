#include "TextFunctions.h"

bool LineEndsIn(const QString& line, const QString& suffix) {
    return line.endsWith(suffix);
}

bool LineStartsWith(const QString& line, const QString& prefix) {
    return line.startsWith(prefix);
}

void StripSpaces(QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    text.truncate(end);
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(' '))
        ++start;
    text.remove(0, start);
}

QString StripFromTail(const QString& line, const QString& suffix) {
    return line.left(std::max<qsizetype>(0, line.size() - suffix.size()));
}

QString StripFromHead(const QString& line, const QString& prefix) {
    return line.mid(prefix.size());
}
