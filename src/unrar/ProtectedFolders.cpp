#include "ProtectedFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QStringList& systemFolders() {
    static const QStringList folders = {
        QStringLiteral("/"),
        QStringLiteral("/bin"),
        QStringLiteral("/boot"),
        QStringLiteral("/dev"),
        QStringLiteral("/etc"),
        QStringLiteral("/home"),
        QStringLiteral("/lib"),
        QStringLiteral("/lib32"),
        QStringLiteral("/lib64"),
        QStringLiteral("/libx32"),
        QStringLiteral("/lost+found"),
        QStringLiteral("/media"),
        QStringLiteral("/mnt"),
        QStringLiteral("/opt"),
        QStringLiteral("/proc"),
        QStringLiteral("/root"),
        QStringLiteral("/run"),
        QStringLiteral("/sbin"),
        QStringLiteral("/snap"),
        QStringLiteral("/srv"),
        QStringLiteral("/sys"),
        QStringLiteral("/tmp"),
        QStringLiteral("/usr"),
        QStringLiteral("/usr/bin"),
        QStringLiteral("/usr/games"),
        QStringLiteral("/usr/include"),
        QStringLiteral("/usr/lib"),
        QStringLiteral("/usr/lib32"),
        QStringLiteral("/usr/lib64"),
        QStringLiteral("/usr/libexec"),
        QStringLiteral("/usr/local"),
        QStringLiteral("/usr/local/bin"),
        QStringLiteral("/usr/local/share"),
        QStringLiteral("/usr/sbin"),
        QStringLiteral("/usr/share"),
        QStringLiteral("/usr/src"),
        QStringLiteral("/var"),
        QStringLiteral("/var/cache"),
        QStringLiteral("/var/lib"),
        QStringLiteral("/var/log"),
        QStringLiteral("/var/mail"),
        QStringLiteral("/var/spool"),
        QStringLiteral("/var/tmp"),
    };
    return folders;
}

// Every location kind Qt knows on this platform: the XDG user folders (desktop,
// documents, downloads, music, pictures, videos, templates, public share) and
// the base folders (config, data, cache, state, fonts, applications).
const QList<QStandardPaths::StandardLocation>& locationKinds() {
    static const QList<QStandardPaths::StandardLocation> kinds = {
        QStandardPaths::DesktopLocation,       QStandardPaths::DocumentsLocation,
        QStandardPaths::FontsLocation,         QStandardPaths::ApplicationsLocation,
        QStandardPaths::MusicLocation,         QStandardPaths::MoviesLocation,
        QStandardPaths::PicturesLocation,      QStandardPaths::TempLocation,
        QStandardPaths::HomeLocation,          QStandardPaths::CacheLocation,
        QStandardPaths::GenericDataLocation,   QStandardPaths::ConfigLocation,
        QStandardPaths::DownloadLocation,      QStandardPaths::GenericCacheLocation,
        QStandardPaths::GenericConfigLocation, QStandardPaths::AppDataLocation,
        QStandardPaths::AppConfigLocation,     QStandardPaths::AppLocalDataLocation,
        QStandardPaths::PublicShareLocation,   QStandardPaths::TemplatesLocation,
    };
    return kinds;
}

QString resolved(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

bool containsOrEquals(const QString& folder, const QString& other) {
    if (folder == QLatin1String("/") || folder == other)
        return true;
    return other.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QStringList ProtectedFolders::list() {
    QStringList folders = systemFolders();
    folders.append(QDir::homePath());
    for (const QStandardPaths::StandardLocation kind : locationKinds())
        folders.append(QStandardPaths::standardLocations(kind));
    for (const char* variable : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            folders.append(value);
    }
    folders.append(QDir::homePath() + QStringLiteral("/.local"));
    folders.append(QDir::homePath() + QStringLiteral("/.local/state"));
    folders.append(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/Trash"));
    for (QString& folder : folders)
        folder = QDir::cleanPath(folder);
    folders.removeAll(QString());
    folders.removeDuplicates();
    return folders;
}

bool ProtectedFolders::isProtected(const QString& folderPath) {
    const QStringList candidates = {QDir::cleanPath(folderPath), resolved(folderPath)};
    for (const QString& listed : list())
        for (const QString& candidate : candidates)
            if (containsOrEquals(candidate, listed) ||
                containsOrEquals(candidate, resolved(listed)))
                return true;
    return false;
}
