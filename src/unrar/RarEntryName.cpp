#include "RarEntryName.h"

#include <QStringList>

namespace {

bool isSlash(const QString& text, qsizetype index) {
    return index < text.size() && text.at(index) == QLatin1Char('/');
}

qsizetype afterLastParentStep(const QString& name) {
    const qsizetype step = name.lastIndexOf(QLatin1String("/../"));
    return step < 0 ? 0 : step + 4;
}

qsizetype afterServerShare(const QString& name, qsizetype start) {
    if (!isSlash(name, start) || !isSlash(name, start + 1))
        return start;
    int slashes = 0;
    for (qsizetype index = start + 2; index < name.size(); ++index)
        if (isSlash(name, index) && ++slashes == 2)
            return index + 1;
    return start;
}

qsizetype afterLeadingDotsAndSlashes(const QString& name, qsizetype start) {
    qsizetype result = start;
    for (qsizetype index = start; index < name.size(); ++index) {
        if (isSlash(name, index))
            result = index + 1;
        else if (name.at(index) != QLatin1Char('.'))
            break;
    }
    return result;
}

} // namespace

QString RarEntryName::placedPath(const QString& storedName) {
    qsizetype start = afterLastParentStep(storedName);
    for (;;) {
        const qsizetype next =
            afterLeadingDotsAndSlashes(storedName, afterServerShare(storedName, start));
        if (next == start)
            break;
        start = next;
    }
    QString placed = storedName.mid(start);
    if (placed == QLatin1String(".."))
        return {};
    return placed;
}

QString RarEntryName::topLevelItem(const QString& storedName) {
    const QString placed = placedPath(storedName);
    for (const QString& component : placed.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (component != QLatin1String("."))
            return component;
    return {};
}
