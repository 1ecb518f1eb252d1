// MyDocument: building a new set: adding and removing files, the save panels
// and the creation run's end.
#include "MyDocument.h"
#include "document/DocumentWindowInterface.h"
#include "document/MyDocumentLockedScope.h"
#include "document/UnattendedSupport.h"
#include "platform/FileNames.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace {

// A typed number: ASCII digits only, an empty text reads as 0. Large values
// stop growing at 1000, beyond every range the dialogs accept.
std::optional<int32_t> digitsValue(const QString& text) {
    int32_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1000);
    }
    return value;
}

// The name without all its extensions: archive.tar.gz gives archive. A dot
// that starts the name begins no extension.
QString withoutExtensions(const QString& name) {
    QString base = name;
    for (qsizetype dot; (dot = base.lastIndexOf(u'.')) > 0;)
        base.truncate(dot);
    return base;
}

void showCriticalAlert(const QString& message) {
    VLMLRunCriticalAlertPanel(QString(), QStringLiteral("%@"), QString(), QString(), QString(),
                              message);
}

} // namespace

// The kind of entry is read from the name's own bytes: a file whose name is
// not UTF-8 can be protected too.
int32_t MyDocument::CanFileBeAdded(const QString& path) const {
    const QFileInfo info(path);
    const FileNames::Kind kind = FileNames::kindAt(path);
    if (!supportCreation())
        return 0;
    if (kind == FileNames::Kind::RegularFile) {
        std::lock_guard lock(m_DocumentLock);
        if (m_FileStatus.contains(info.fileName()) ||
            info.suffix().compare(getFilenameExtension(), Qt::CaseInsensitive) == 0)
            return 0;
        if (!m_ChosenDirectory.isEmpty() && info.path() != m_ChosenDirectory)
            return 0;
        return 1;
    }
    if (kind == FileNames::Kind::Folder) {
        const QString folder = info.absoluteFilePath();
        return m_ChosenDirectory.isEmpty() || m_ChosenDirectory.startsWith(folder) ? -1 : 0;
    }
    return 0;
}

int MyDocument::AddFile(const QString& path, bool updateUI) {
    const QFileInfo info(path);
    {
        LockedScope scope(*this);
        if (m_FileStatus.contains(info.fileName()))
            return 0;
        if (m_ChosenDirectory.isEmpty())
            m_ChosenDirectory = info.path();
        m_FileStatus.insert(info.fileName(), FileStatus(info.fileName(), FileCode::ToBeProtected));
        m_PxxFileStatus.clear();
        dropFilesNotInFolder();
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
    }
    if (updateUI)
        noteFileStatusChanged();
    setm_Progression(0);
    setm_DocumentStatus(DocStatus::ReadyToCreate);
    updateChangeCount(ChangeKind::Done);
    return 0;
}

// A verified set turns into a set being built: a file that is not there (a
// missing file of the old set) cannot be protected, so it leaves the list.
// Called with the document lock held.
void MyDocument::dropFilesNotInFolder() {
    m_FileStatus.removeIf([this](const std::pair<const QString&, FileStatus&>& entry) {
        return FileNames::kindAt(m_ChosenDirectory + u'/' + entry.first) !=
               FileNames::Kind::RegularFile;
    });
}

QString MyDocument::whyFileCannotBeAdded(const QString& path) const {
    const QFileInfo info(path);
    QString key;
    if (info.isSymLink())
        key = QStringLiteral("AddRefusedLink");
    else if (info.isDir())
        key = QStringLiteral("AddRefusedFolder");
    else if (!info.exists())
        key = QStringLiteral("AddRefusedMissing");
    else if (!info.isFile())
        key = QStringLiteral("AddRefusedSpecial");
    else if (!m_ChosenDirectory.isEmpty() && info.path() != m_ChosenDirectory)
        key = QStringLiteral("AddRefusedOtherFolder");
    else if (info.suffix().compare(getFilenameExtension(), Qt::CaseInsensitive) == 0)
        key = QStringLiteral("AddRefusedRecoveryFile");
    else
        key = QStringLiteral("AddRefusedInSet");
    return StringTables::localized(key);
}

void MyDocument::reportFilesNotAdded(const QStringList& paths) const {
    QStringList lines;
    for (const QString& path : paths) {
        if (CanFileBeAdded(path) != 1)
            lines.append(QStringLiteral("\u201C%1\u201D %2")
                             .arg(QFileInfo(path).fileName(), whyFileCannotBeAdded(path)));
    }
    if (lines.isEmpty() || !supportCreation())
        return;
    VLMLRunInformationalAlertPanel(QString(),
                                   StringTables::localized(QStringLiteral("FilesNotAddedInfo")),
                                   QString(), QString(), QString(), lines.join(u'\n'));
}

void MyDocument::PerformAddFile() {
    SetBuildingPanels* panels = setBuildingPanels();
    if (!CanPerformAddFile() || panels == nullptr)
        return;
    m_ShowingAddFileSheet = true;
    panels->beginAddFilesPanel(sharedDocument());
}

void MyDocument::addFilesPanelDidEnd(const QStringList& chosenPaths) {
    if (!chosenPaths.isEmpty())
        addFiles(chosenPaths);
    m_ShowingAddFileSheet = false;
}

// A name typed into a panel is not filtered like the entries it shows, and
// the first file fixes the folder for the ones after it: each path is checked
// again as it comes.
void MyDocument::addFiles(const QStringList& paths) {
    if (!checkRoomForFiles(int(paths.size())))
        return;
    int skipped = 0;
    QStringList refused;
    for (const QString& path : paths) {
        if (CanFileBeAdded(path) == 1)
            skipped += AddFile(path, false);
        else
            refused.append(path);
    }
    noteFileStatusChanged();
    reportFilesNotAdded(refused);
    if (skipped != 0)
        VLMLRunInformationalAlertPanel(
            QString(), StringTables::localized(QStringLiteral("ResourceForkWarning")), QString(),
            QString(), QString());
}

void MyDocument::PerformParRemove() {
    if (!CanPerformParRemove())
        return;
    const QStringList selected = m_parController->SelectedFiles();
    bool anyLeft = false;
    {
        LockedScope scope(*this);
        for (const QString& name : selected)
            m_FileStatus.remove(name);
        m_PxxFileStatus.clear();
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
        anyLeft = !m_FileStatus.isEmpty();
    }
    if (anyLeft) {
        setm_DocumentStatus(DocStatus::ReadyToCreate);
        updateChangeCount(ChangeKind::Done);
    } else {
        setm_DocumentStatus(DocStatus::Idle);
        m_ChosenDirectory.clear();
        updateChangeCount(ChangeKind::Cleared);
    }
    setm_Progression(0);
    noteFileStatusChanged();
    m_parController->NoSelection();
}

// ---- Saving a new set ------------------------------------------------------

SetBuildingPanels* MyDocument::setBuildingPanels() const {
    SetBuildingPanels* panels = SetBuildingPanels::current();
    if (panels == nullptr)
        qWarning().noquote() << QStringLiteral("Error: no panels to build a recovery set with");
    return panels;
}

std::shared_ptr<MyDocument> MyDocument::sharedDocument() {
    return std::static_pointer_cast<MyDocument>(shared_from_this());
}

void MyDocument::saveDocument() {
    saveDocumentWithDelegate(getDefaultNumberForSaveOptions(), parType());
}

void MyDocument::saveDocumentAs() {
    SetBuildingPanels* panels = setBuildingPanels();
    if (CanSaveDocumentAs() && panels != nullptr)
        panels->beginSavePanel(sharedDocument());
}

void MyDocument::saveDocumentWithDelegate(int32_t initialNum, int32_t parType) {
    SetBuildingPanels* panels = setBuildingPanels();
    if (!CanSaveDocumentAs() || panels == nullptr)
        return;
    if (fileName().isEmpty())
        panels->beginSavePanel(sharedDocument());
    else
        panels->beginSaveOptionsSheet(sharedDocument(), parType, initialNum);
}

MyDocument::SavePanelSetup MyDocument::prepareSavePanel() {
    SavePanelSetup setup;
    setup.designatedDirectory = m_ChosenDirectory;
    setup.fileName = m_DocIsUntitled ? SuggestPARFileName() : QFileInfo(fileName()).fileName();
    // Files with different names are protected under their folder's name, so
    // that Enter alone creates a set with a sensible name.
    if (setup.fileName.isEmpty()) {
        const QString folderName = QDir(m_ChosenDirectory).dirName();
        setup.fileName = folderName.isEmpty() || folderName == QLatin1String(".")
                             ? StringTables::localized(QStringLiteral("UntitledDocumentName"))
                             : folderName;
        setup.fileName += QLatin1Char('.') + getFilenameExtension();
    }
    setup.number = getDefaultNumberForSaveOptions();
    setup.parType = parType();
    return setup;
}

QString MyDocument::SuggestPARFileName() const {
    QStringList names;
    {
        std::lock_guard lock(m_DocumentLock);
        names = m_FileStatus.keys();
    }
    if (names.isEmpty())
        return QString();
    const QString base = withoutExtensions(names.first());
    for (const QString& name : names) {
        if (withoutExtensions(name).compare(base, Qt::CaseInsensitive) != 0)
            return QString();
    }
    return base + QLatin1Char('.') + getFilenameExtension();
}

// Only the last component of the typed name counts: the set goes into the
// folder of its files. The extension is the set type's, in the case the
// helper writes it.
MyDocument::SaveLocation MyDocument::checkSaveLocation(const QString& typedName) const {
    SaveLocation location;
    const QString extension = getFilenameExtension();
    QString name = QFileInfo(typedName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.sliced(dot + 1).compare(extension, Qt::CaseInsensitive) == 0)
        name.truncate(dot);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        location.problem =
            formatString(StringTables::localized(QStringLiteral("BadSetNameErr")), typedName);
        return location;
    }
    name += QLatin1Char('.') + extension;
    // The set's own files are written and checked through Qt, which cannot
    // name them when their path is not UTF-8.
    if (!FileNames::isPlainUtf8(name) || !FileNames::isPlainUtf8(m_ChosenDirectory)) {
        location.problem = formatString(StringTables::localized(QStringLiteral("BadSetNameErr")),
                                        FileNames::displayName(typedName));
        return location;
    }
    const QDir folder(m_ChosenDirectory);
    const QString typedFolder = QFileInfo(folder.absoluteFilePath(typedName)).absolutePath();
    location.folderCorrected = QDir::cleanPath(typedFolder) != QDir::cleanPath(m_ChosenDirectory);
    const QFileInfo existing(folder.filePath(name));
    if (existing.isSymLink() || (existing.exists() && !existing.isFile())) {
        location.problem =
            formatString(StringTables::localized(QStringLiteral("SetNameTakenErr")), name);
        return location;
    }
    location.replacesFile = existing.exists();
    location.path = existing.filePath();
    return location;
}

QString MyDocument::panelUserEnteredFilename(const QString& typedName, const QString& numberText,
                                             SavePanelField* refusedField) {
    const auto refuse = [refusedField](SavePanelField field) {
        *refusedField = field;
        return QString();
    };
    const std::optional<int32_t> number = savePanelNumber(numberText);
    if (!number) {
        showCriticalAlert(StringTables::localized(QStringLiteral("WrongNumPARErr")));
        return refuse(SavePanelField::Number);
    }
    const SaveLocation location = checkSaveLocation(typedName);
    if (location.path.isNull()) {
        showCriticalAlert(location.problem);
        return refuse(SavePanelField::Name);
    }
    setm_NumSpecifiedInSaveOptions(*number);
    if (location.folderCorrected)
        VLMLRunAlertPanel(QString(),
                          StringTables::localized(QStringLiteral("PathCorrectedWarning")),
                          QString(), QString(), QString(), m_ChosenDirectory);
    if (location.replacesFile &&
        VLMLRunAlertPanel(QString(), StringTables::localized(QStringLiteral("ReplaceSetQuestion")),
                          StringTables::localized(QStringLiteral("ReplaceButton")),
                          StringTables::localized(QStringLiteral("CancelButton")), QString(),
                          QFileInfo(location.path).fileName()) != kAlertDefaultReturn)
        return refuse(SavePanelField::Name);
    *refusedField = SavePanelField::None;
    return location.path;
}

std::optional<int32_t> MyDocument::savePanelNumber(const QString& text) {
    const std::optional<int32_t> value = digitsValue(text);
    return value && *value < 100 ? value : std::nullopt;
}

std::optional<int32_t> MyDocument::saveOptionsNumber(const QString& text, int32_t parType) {
    const std::optional<int32_t> value = digitsValue(text);
    const auto [lowest, highest] = parType == ParType::Par1 ? std::pair(0, 99) : std::pair(1, 100);
    return value && *value >= lowest && *value <= highest ? value : std::nullopt;
}

std::optional<int32_t> MyDocument::acceptSaveOptionsNumber(const QString& text, int32_t parType) {
    const std::optional<int32_t> value = saveOptionsNumber(text, parType);
    if (!value)
        showCriticalAlert(StringTables::localized(parType == ParType::Par1
                                                      ? QStringLiteral("WrongNumPARErr")
                                                      : QStringLiteral("WrongPar2RedundancyErr")));
    return value;
}

void MyDocument::saveOptionsFinishedWithNumPnn(int32_t number) {
    setm_NumSpecifiedInSaveOptions(number);
    saveToLocation(fileName());
}

bool MyDocument::saveToLocation(const QString& path) {
    if (m_PARIsRunning() != RunKind::None)
        return false;
    setFileName(path);
    QFile placeholder(path);
    if (placeholder.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        placeholder.write(dataRepresentationOfType()) == dataRepresentationOfType().size())
        updateChangeCount(ChangeKind::Cleared);
    placeholder.close();
    return documentDidSave();
}

// Runs whether or not the placeholder could be written: the helper tells.
bool MyDocument::documentDidSave() {
    m_DocIsUntitled = false;
    if (!RemoveStrayPnnFiles()) {
        QFile::remove(fileName());
        showCriticalAlert(StringTables::localized(QStringLiteral("CantDeletePnnErr")));
        updateChangeCount(ChangeKind::Done);
        return false;
    }
    QStringList subjectFiles;
    {
        LockedScope scope(*this);
        m_ParMainOutput.clear();
        // A file that left the folder since it was added cannot be protected; the
        // helper would refuse the whole set for it.
        for (const QString& name : m_FileStatus.keys()) {
            if (FileNames::kindAt(m_ChosenDirectory + u'/' + name) == FileNames::Kind::RegularFile)
                subjectFiles.append(name);
        }
    }
    requestWindowUpdate(WholeOutputUpdate, true);
    QFile::remove(fileName());
    prepareDocForCreateRun();
    const QStringList arguments = makeCreateParamArray(
        fileName(), subjectFiles,
        {{QStringLiteral("NumSpecifiedInSaveOptions"), m_numSpecifiedInSaveOptions}});
    m_creationFailed = false;
    if (arguments.isEmpty() || !RunPARTask(arguments, RunKind::Create)) {
        setm_DocumentStatus(DocStatus::Idle);
        m_creationFailed = true;
        updateChangeCount(ChangeKind::Done);
        return false;
    }
    return true;
}

void MyDocument::RecoverFileStateAfterAbortedGenerate() {
    {
        LockedScope scope(*this);
        for (FileStatus& record : m_FileStatus)
            record.setFileStatusForced(FileCode::ToBeProtected);
        m_PxxFileStatus.clear();
    }
    noteFileStatusChanged();
    RemoveStrayPnnFiles();
}
