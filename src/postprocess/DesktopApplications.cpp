#include "DesktopApplications.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace {

struct DesktopEntry {
    QString path;
    QString name;
    QString exec;
    QString tryExec;
    QString type;
    bool hidden = false;
    QStringList mimeTypes;
};

// The escapes every string value of a desktop entry may hold.
QString unescapeValue(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            text += u' ';
        else if (next == u'n')
            text += u'\n';
        else if (next == u't')
            text += u'\t';
        else if (next == u'r')
            text += u'\r';
        else
            text += next;
    }
    return text;
}

// The key=value lines of one [group] of an INI-style file.
QHash<QString, QString> readGroup(const QString& path, const QString& group) {
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    bool inGroup = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || line.startsWith(u'#') || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!values.contains(key))
            values.insert(key, line.mid(equals + 1).trimmed());
    }
    return values;
}

std::optional<DesktopEntry> readEntry(const QString& path) {
    const QHash<QString, QString> values = readGroup(path, QStringLiteral("Desktop Entry"));
    if (values.isEmpty())
        return std::nullopt;
    DesktopEntry entry;
    entry.path = path;
    entry.name = unescapeValue(values.value(QStringLiteral("Name")));
    entry.exec = unescapeValue(values.value(QStringLiteral("Exec")));
    entry.tryExec = unescapeValue(values.value(QStringLiteral("TryExec")));
    entry.type = values.value(QStringLiteral("Type"));
    entry.hidden = values.value(QStringLiteral("Hidden")) == QLatin1String("true");
    entry.mimeTypes = values.value(QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
    return entry;
}

QString findProgram(const QString& program) {
    if (program.contains(u'/')) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

bool isUsable(const DesktopEntry& entry) {
    return entry.type == QLatin1String("Application") && !entry.hidden && !entry.exec.isEmpty() &&
           (entry.tryExec.isEmpty() || !findProgram(entry.tryExec).isEmpty());
}

DesktopApplications::Application applicationOf(const DesktopEntry& entry) {
    return {entry.name, entry.path, DesktopApplications::splitExec(entry.exec)};
}

QStringList applicationFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

// Every usable entry of the applications folders, earlier folders first.
template <typename Accept> std::optional<DesktopEntry> findEntry(Accept accept) {
    for (const QString& folder : applicationFolders()) {
        const QStringList names =
            QDir(folder).entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            const std::optional<DesktopEntry> entry = readEntry(folder + u'/' + name);
            if (entry && isUsable(*entry) && accept(*entry))
                return entry;
        }
    }
    return std::nullopt;
}

std::optional<DesktopEntry> entryWithId(const QString& id) {
    if (id.contains(u'/'))
        return std::nullopt;
    for (const QString& folder : applicationFolders()) {
        const QString path = folder + u'/' + id;
        if (!QFileInfo(path).isFile())
            continue;
        const std::optional<DesktopEntry> entry = readEntry(path);
        return entry && isUsable(*entry) ? entry : std::nullopt;
    }
    return std::nullopt;
}

QString withoutSuffix(const QString& name, const QStringList& suffixes) {
    for (const QString& suffix : suffixes) {
        if (name.endsWith(suffix, Qt::CaseInsensitive) && name.size() > suffix.size())
            return name.chopped(suffix.size());
    }
    return name;
}

// The mimeapps.list files in the order they count: the user's and the system's
// configuration, then the data folders; a desktop's own file before the common one.
QStringList mimeAppsFiles() {
    QStringList desktops;
    for (const QString& desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':'))
        if (!desktop.isEmpty())
            desktops.append(desktop.toLower() + QStringLiteral("-mimeapps.list"));
    desktops.append(QStringLiteral("mimeapps.list"));
    QStringList files;
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation) +
        applicationFolders();
    for (const QString& folder : folders)
        for (const QString& name : desktops)
            files.append(folder + u'/' + name);
    return files;
}

QStringList namesOfMimeType(const QString& mimeType) {
    QStringList names{mimeType};
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (type.isValid())
        names += QStringList{type.name()} + type.aliases();
    names.removeDuplicates();
    return names;
}

QString expandFieldCodes(const QString& argument, const DesktopApplications::Application& app,
                         const QString& filePath, bool* usedFile) {
    QString text;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] != u'%' || i + 1 == argument.size()) {
            text += argument[i];
            continue;
        }
        switch (argument[++i].unicode()) {
        case u'%':
            text += u'%';
            break;
        case u'f':
        case u'F':
            text += filePath;
            *usedFile = true;
            break;
        case u'u':
        case u'U':
            text += QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded);
            *usedFile = true;
            break;
        case u'c':
            text += app.name;
            break;
        case u'k':
            text += app.desktopFile;
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace

std::optional<DesktopApplications::Application> DesktopApplications::find(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    if (name.contains(u'/') && name.endsWith(QLatin1String(".desktop"))) {
        const std::optional<DesktopEntry> entry = readEntry(name);
        if (!entry || !isUsable(*entry))
            return std::nullopt;
        return applicationOf(*entry);
    }
    if (name.contains(u'/')) {
        const QString path = findProgram(name);
        if (path.isEmpty())
            return std::nullopt;
        return Application{QFileInfo(path).fileName(), QString(), {path}};
    }
    const QString id = name.endsWith(QLatin1String(".desktop")) ? name : name + ".desktop";
    if (const std::optional<DesktopEntry> entry = entryWithId(id))
        return applicationOf(*entry);
    const QString bare = withoutSuffix(name, {QStringLiteral(".desktop"), QStringLiteral(".app")});
    if (const std::optional<DesktopEntry> entry = findEntry([&](const DesktopEntry& candidate) {
            return candidate.name.compare(bare, Qt::CaseInsensitive) == 0;
        }))
        return applicationOf(*entry);
    for (const QString& program : {name, bare}) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty())
            return Application{program, QString(), {path}};
    }
    return std::nullopt;
}

QString DesktopApplications::nameToKeep(const QString& chosenPath) {
    const QString name = QFileInfo(chosenPath).fileName();
    const std::optional<Application> found = find(name);
    if (!found)
        return chosenPath;
    const QString foundPath =
        found->desktopFile.isEmpty() ? found->exec.value(0) : found->desktopFile;
    const QString canonical = QFileInfo(chosenPath).canonicalFilePath();
    return !canonical.isEmpty() && QFileInfo(foundPath).canonicalFilePath() == canonical
               ? name
               : chosenPath;
}

std::optional<DesktopApplications::Application>
DesktopApplications::defaultForMimeType(const QString& mimeType) {
    const QStringList names = namesOfMimeType(mimeType);
    for (const QString& file : mimeAppsFiles()) {
        const QHash<QString, QString> defaults =
            readGroup(file, QStringLiteral("Default Applications"));
        for (const QString& name : names) {
            for (const QString& id : defaults.value(name).split(u';', Qt::SkipEmptyParts)) {
                if (const std::optional<DesktopEntry> entry = entryWithId(id.trimmed()))
                    return applicationOf(*entry);
            }
        }
    }
    if (const std::optional<DesktopEntry> entry = findEntry([&](const DesktopEntry& candidate) {
            return std::any_of(names.begin(), names.end(), [&](const QString& name) {
                return candidate.mimeTypes.contains(name);
            });
        }))
        return applicationOf(*entry);
    return std::nullopt;
}

std::optional<DesktopApplications::Application>
DesktopApplications::forRule(const QString& program, const QString& filePath) {
    if (std::optional<Application> found = find(program))
        return found;
    const QString bare = withoutSuffix(program, {QStringLiteral(".app")});
    if (bare.compare(QLatin1String("Stuffit Expander"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // unar extracts StuffIt archives beside themselves; -r renames what it
    // extracts rather than overwrite a file that is there already.
    const QString unar = QStandardPaths::findExecutable(QStringLiteral("unar"));
    if (!unar.isEmpty())
        return Application{QStringLiteral("unar"),
                           QString(),
                           {unar, QStringLiteral("-r"), QStringLiteral("-o"),
                            QFileInfo(filePath).absolutePath(), QStringLiteral("%f")}};
    // A file of unknown kind reads as the generic type, which names no archive
    // manager: only a real match may open it.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(filePath);
    if (!type.isValid() || type.isDefault())
        return std::nullopt;
    return defaultForMimeType(type.name());
}

QStringList DesktopApplications::commandLine(const Application& application,
                                             const QString& filePath) {
    QStringList command;
    bool usedFile = false;
    for (const QString& argument : application.exec) {
        const QString expanded = expandFieldCodes(argument, application, filePath, &usedFile);
        if (!expanded.isEmpty() || !argument.contains(u'%'))
            command.append(expanded);
    }
    if (!usedFile)
        command.append(filePath);
    return command;
}

QString DesktopApplications::executablePath(const Application& application) {
    return application.exec.isEmpty() ? QString() : findProgram(application.exec.first());
}

QStringList DesktopApplications::splitExec(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool haveArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'\\' && i + 1 < exec.size())
                current += exec[++i];
            else if (c == u'"')
                inQuotes = false;
            else
                current += c;
        } else if (c == u' ' || c == u'\t') {
            if (haveArgument)
                arguments.append(current);
            current.clear();
            haveArgument = false;
        } else {
            if (c == u'"')
                inQuotes = true;
            else
                current += c;
            haveArgument = true;
        }
    }
    if (haveArgument)
        arguments.append(current);
    return arguments;
}
