#include "Par2RepairPreconditions.h"

#include "document/UnattendedSupport.h"
#include "par2/Par2CommandLine.h"
#include "par2/TargetFileList.h"
#include "platform/AlertPresenter.h"
#include "platform/FileNames.h"
#include "platform/FolderEntries.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sys/stat.h>

namespace {

// The platform's alert itself, so that it shows in unattended operation too.
void showCriticalAlert(const QString& message) {
    MainThread::runSync([&] {
        if (AlertPresenter* presenter = AlertPresenter::current())
            presenter->runModal(
                {AlertSeverity::Critical, QString(), message, QString(), QString(), QString()});
        else
            qWarning().noquote() << QStringLiteral("Error: ") + message;
    });
}

bool passesThroughLink(const QByteArray& folder, const QByteArray& name) {
    QByteArray path = folder;
    for (const QByteArray& part : name.split('/')) {
        path += '/' + part;
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0)
            return false;
        if (S_ISLNK(status.st_mode))
            return true;
    }
    return false;
}

} // namespace

bool Par2RepairPreconditions::VerifyPathsForRepair(const QString& mainFilePath,
                                                   const std::optional<TargetFileList>& targets) {
    const QFileInfo main(mainFilePath);
    if (Par2CommandLine::holdsControlCharacters(main.fileName())) {
        showCriticalAlert(formatString(StringTables::localized(QStringLiteral("Par2UnsafeNameErr")),
                                       Par2CommandLine::printableName(main.fileName())));
        return false;
    }
    if (!nameThroughLink(mainFilePath, targets))
        return true;
    showCriticalAlert(formatString(
        StringTables::localized(QStringLiteral("Par2TargetThroughLinkErr")), main.fileName()));
    return false;
}

// The folder's own listing names the kind of each of its entries, so a set of
// tens of thousands of plain names costs one read of the folder; only names
// with folder parts, and entries that are neither file nor folder, cost a stat.
std::optional<QByteArray>
Par2RepairPreconditions::nameThroughLink(const QString& mainFilePath,
                                         const std::optional<TargetFileList>& targets) {
    if (!targets)
        return std::nullopt;
    const QString folderPath = QFileInfo(mainFilePath).absolutePath();
    QSet<QString> plainEntries;
    for (const FolderEntries::Entry& entry : FolderEntries::read(folderPath))
        if (entry.regularFile || entry.folder)
            plainEntries.insert(entry.name);
    const QByteArray folder = QFile::encodeName(folderPath);
    for (const QByteArray& name : targets->getFileArray()) {
        if (!name.contains('/') && plainEntries.contains(FileNames::decode(name)))
            continue;
        if (passesThroughLink(folder, name))
            return name;
    }
    return std::nullopt;
}

bool Par2RepairPreconditions::checkRoomForFiles(int numSubjectFiles, int count) {
    const QString problem = roomProblem(numSubjectFiles, count);
    if (problem.isNull())
        return true;
    showCriticalAlert(problem);
    return false;
}

QString Par2RepairPreconditions::roomProblem(int numSubjectFiles, int count) {
    const int room = std::max(kMaxFilesInSet - numSubjectFiles, 0);
    if (room >= count)
        return QString();
    if (room == 1)
        return StringTables::localized(QStringLiteral("TooManyFilesForPar2ErrS"));
    return formatString(StringTables::localized(QStringLiteral("TooManyFilesForPar2ErrP")), room);
}

bool Par2RepairPreconditions::VerifyPreconditionsForRepair(
    const QString& mainFilePath, const std::optional<TargetFileList>& targets) {
    if (Preferences::boolForKey(PrefKey::DontCheckForTooManyFiles))
        return true;
    if (!targets || targets->getFileArray().size() < 2)
        return true;
    const QFileInfo main(mainFilePath);
    const int limit = int(targets->getFileArray().size()) + 10;
    if (countUnrelatedFiles(main.path(), limit) <= limit)
        return true;
    const int answer = VLMLRunAlertPanel(
        QString(), StringTables::localized(QStringLiteral("ManyUnrelatedFilesWarning")),
        StringTables::localized(QStringLiteral("CancelButton")),
        StringTables::localized(QStringLiteral("ProceedButton")),
        StringTables::localized(QStringLiteral("AlwaysProceedButton")), main.fileName());
    if (answer == kAlertDefaultReturn)
        return false;
    if (answer == kAlertOtherReturn)
        Preferences::setBool(PrefKey::DontCheckForTooManyFiles, true);
    return true;
}

// Visible regular files only, links not followed.
int Par2RepairPreconditions::countUnrelatedFiles(const QString& folder, int limit) {
    int count = 0;
    for (const FolderEntries::Entry& entry : FolderEntries::read(folder)) {
        if (count > limit)
            break;
        if (entry.regularFile && !entry.name.startsWith(u'.') &&
            !entry.name.endsWith(QLatin1String(".par2")))
            ++count;
    }
    return count;
}
