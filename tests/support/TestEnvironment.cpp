#include "TestEnvironment.h"

#include <QDir>
#include <QStandardPaths>
#include <cstdlib>

namespace {
std::unique_ptr<QTemporaryDir>& rootDir() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void TestEnvironment::setUp() {
    rootDir() = std::make_unique<QTemporaryDir>();
    const QString base = rootDir()->path();
    const auto point = [&](const char* variable, const QString& sub) {
        const QString path = base + QLatin1Char('/') + sub;
        QDir().mkpath(path);
        setenv(variable, QFile::encodeName(path).constData(), 1);
    };
    point("HOME", QStringLiteral("home"));
    point("XDG_CONFIG_HOME", QStringLiteral("home/.config"));
    point("XDG_DATA_HOME", QStringLiteral("home/.local/share"));
    point("XDG_CACHE_HOME", QStringLiteral("home/.cache"));
    point("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(base + QStringLiteral("/home/Desktop"));
    QStandardPaths::setTestModeEnabled(false);
}

QString TestEnvironment::root() {
    return rootDir()->path();
}

QString TestEnvironment::makeFolder(const QString& name) {
    const QString path = root() + QStringLiteral("/work/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}
