#pragma once

#include <QString>

// Small line tests and trims shared by the helper-output parsers. All
// comparisons are exact and case-sensitive.
bool LineEndsIn(const QString& line, const QString& suffix);
bool LineStartsWith(const QString& line, const QString& prefix);
// Removes leading and trailing U+0020 only; tabs stay.
void StripSpaces(QString& text);
// Drop as many characters as the suffix / prefix has, without looking at them.
QString StripFromTail(const QString& line, const QString& suffix);
QString StripFromHead(const QString& line, const QString& prefix);
