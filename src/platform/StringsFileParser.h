#pragma once

#include <QHash>
#include <QString>

// Reads `"key" = "text";` lines with C-style escapes and comments.
class StringsFileParser {
public:
    static QHash<QString, QString> parse(const QString& source);
};
