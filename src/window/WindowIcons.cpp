#include "WindowIcons.h"

#include <QHash>

namespace WindowIcons {

QIcon bundled(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto found = cache.find(name);
    if (found == cache.end())
        found = cache.insert(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
    return *found;
}

QIcon themed(const QString& themeName, const QString& bundledName) {
    return QIcon::fromTheme(themeName, bundled(bundledName));
}

} // namespace WindowIcons
