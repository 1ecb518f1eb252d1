#pragma once

#include <QString>

// The "Localizable" (user texts) and "Global" (addresses) string tables, compiled
// in from resources/strings/*.strings. A missing key returns the key itself.
class StringTables {
public:
    static QString localized(const QString& key);
    static QString global(const QString& key);
    static QString lookup(const QString& table, const QString& key);
};
