// Output placement of VLMUnrarLibGlue: the folder for several top-level items,
// existing output (overwrite, keep both, cancel) and the safety rule for it.
#include "ProtectedFolders.h"
#include "RarSegments.h"
#include "RarVolumeNames.h"
#include "VLMUnrarLibGlue.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

QString childPath(const QUrl& folder, const QString& name) {
    return QDir(folder.toLocalFile()).filePath(name);
}

// Existence without following a final symbolic link: a dangling link is an
// existing item too, and the library would write through it.
bool entryExists(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool isSameOrInside(const QString& path, const QString& folder) {
    return path == folder || folder == QLatin1String("/") ||
           path.startsWith(folder + QLatin1Char('/'));
}

QString resolvedPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

bool holdsFolder(const QString& candidate, const QString& folder) {
    return isSameOrInside(QDir::cleanPath(folder), QDir::cleanPath(candidate)) ||
           isSameOrInside(resolvedPath(folder), resolvedPath(candidate));
}

VLMError existingOutputError(int code, const QString& path, const QString& descriptionKey) {
    QVariantMap userInfo{{VLMUnrarLibGlue::kFilePathInErrorKey, path}};
    if (!descriptionKey.isEmpty())
        userInfo.insert(VLMError::kLocalizedDescriptionKey,
                        formatString(StringTables::localized(descriptionKey), path));
    return VLMError(VLMError::kUnrarLibGlueDomain, code, userInfo);
}

QString keepBothName(const QString& itemName, int counter) {
    const QString extension = RarPathExtension(itemName);
    QString name =
        formatString(QStringLiteral("%@(%@-%d)"), RarPathWithoutExtension(itemName),
                     StringTables::localized(QStringLiteral("RenamedIndication")), counter);
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return name;
}

} // namespace

QUrl VLMUnrarLibGlue::effectiveOutputItem() const {
    if (m_topLevelItems.size() == 1)
        return QUrl::fromLocalFile(childPath(m_outputDirURL, *m_topLevelItems.constBegin()));
    return m_outputDirURL;
}

QString VLMUnrarLibGlue::nameForIntermediateDir() const {
    const QString fileName = QFileInfo(m_rarFileURL.toLocalFile()).fileName();
    QString name = RarPathWithoutExtension(fileName);
    const QString partField = RarPathExtension(name);
    if (partField.startsWith(QLatin1String("part"))) {
        const QString digits = partField.mid(4);
        if (std::all_of(digits.begin(), digits.end(),
                        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
            name = RarPathWithoutExtension(name);
    }
    // "." and ".." would name the output folder or its parent, not a new folder.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return formatString(QStringLiteral("%@(expanded)"), fileName);
    return name;
}

bool VLMUnrarLibGlue::isAcceptableExistingOutput(const QUrl& existingItem) const {
    const QString path = QDir::cleanPath(existingItem.toLocalFile());
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) {
        qWarning().noquote() << formatString(
            QStringLiteral("Error: %@"),
            formatString(QStringLiteral("%@: %@"), path,
                         QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    const QString archivePath = m_rarFileURL.toLocalFile();
    if (S_ISREG(status.st_mode)) {
        // Replacing one of the archive's own volumes would destroy the archive.
        for (const QString& volume : RarVolumeChain(archivePath))
            if (resolvedPath(volume) == resolvedPath(path))
                return false;
        return true;
    }
    if (!S_ISDIR(status.st_mode))
        return false;
    if (holdsFolder(path, QFileInfo(archivePath).absolutePath()))
        return false;
    return !ProtectedFolders::isProtected(path);
}

bool VLMUnrarLibGlue::dealWithExistingOutputAndReportError(VLMError* error) {
    const QString candidate = m_topLevelItems.size() == 1
                                  ? childPath(m_outputDirURL, *m_topLevelItems.constBegin())
                                  : m_outputDirURL.toLocalFile();
    if (!entryExists(candidate))
        return true;
    const QUrl candidateURL = QUrl::fromLocalFile(candidate);
    if (!isAcceptableExistingOutput(candidateURL)) {
        *error = existingOutputError(kExistingOutputNotReplaceable, candidate, QString());
        return false;
    }
    const int action = askDelegate(
        ExistingOutputAction::KeepBoth, [this, &candidateURL](VLMUnrarLibGlueDelegate* delegate) {
            return delegate->unrarLibGlueActionForExistingOutput(this, candidateURL);
        });
    if (action != ExistingOutputAction::Overwrite && action != ExistingOutputAction::KeepBoth)
        return false;
    // The answer may have taken a while: look again before touching anything.
    if (!isAcceptableExistingOutput(candidateURL)) {
        *error = existingOutputError(kExistingOutputNotReplaceable, candidate, QString());
        return false;
    }
    if (action == ExistingOutputAction::Overwrite)
        return removeExistingOutput(candidate, error);
    return moveExistingOutputAside(candidate, error);
}

bool VLMUnrarLibGlue::removeExistingOutput(const QString& path, VLMError* error) {
    const QFileInfo item(path);
    const bool removed =
        item.isDir() && !item.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed)
        *error = existingOutputError(kExistingOutputNotRemoved, path,
                                     QStringLiteral("UnrarExistingOutputNotRemoved"));
    return removed;
}

bool VLMUnrarLibGlue::moveExistingOutputAside(const QString& path, VLMError* error) {
    const QFileInfo item(path);
    const QDir parent = item.dir();
    QString target;
    for (int counter = 1;; ++counter) {
        target = parent.filePath(keepBothName(item.fileName(), counter));
        if (!entryExists(target))
            break;
    }
    // QDir::rename never replaces an existing entry, so the old item cannot be lost
    // to a name that appeared in the meantime.
    if (QDir().rename(path, target))
        return true;
    *error = existingOutputError(kExistingOutputNotMoved, path,
                                 QStringLiteral("UnrarExistingOutputNotMoved"));
    return false;
}
