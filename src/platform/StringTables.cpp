#include "StringTables.h"

#include "StringsFileParser.h"

#include <QFile>
#include <QHash>
#include <mutex>

namespace {

QHash<QString, QString> loadTable(const QString& table) {
    QFile file(QStringLiteral(":/strings/%1.strings").arg(table));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return StringsFileParser::parse(QString::fromUtf8(file.readAll()));
}

} // namespace

QString StringTables::lookup(const QString& table, const QString& key) {
    static std::mutex mutex;
    static QHash<QString, QHash<QString, QString>> tables;
    std::lock_guard guard(mutex);
    auto found = tables.find(table);
    if (found == tables.end())
        found = tables.insert(table, loadTable(table));
    return found->value(key, key);
}

QString StringTables::localized(const QString& key) {
    return lookup(QStringLiteral("Localizable"), key);
}

QString StringTables::global(const QString& key) {
    return lookup(QStringLiteral("Global"), key);
}
