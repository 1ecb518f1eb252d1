#include "PAR1Document.h"

#include "par1/Par1CommandLine.h"
#include "par1/Par1ListedFiles.h"
#include "par1/Par1VolumeFiles.h"
#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Trash.h"

#include <QDebug>
#include <QFileInfo>

class PAR1Document::ParserScope : public MyDocument::ModelLoan<Par1OutputModel> {
public:
    explicit ParserScope(PAR1Document& document) : ModelLoan(document, document.m_par1Output) {
        document.m_parser.setMainFileName(QFileInfo(document.fileName()).fileName());
    }
};

PAR1Document::PAR1Document() : MyDocument(Par1CommandLine::kToolName) {
    m_parser.setFileStatusNotice(
        [this](const QString& emphasizeKey) { noteFileStatusChanged(emphasizeKey); });
}

QStringList PAR1Document::makeRepairParamArray(const QString& parFilePath) {
    return Par1CommandLine::makeRepairParamArray(parFilePath);
}

std::function<FileStatusMap()> PAR1Document::listedFilesReader() const {
    return [path = fileName()] { return Par1ListedFiles::read(path); };
}

QString PAR1Document::getFilenameExtension() const {
    return Par1CommandLine::kExtension;
}

int PAR1Document::CalcDefaultNumberPnn() const {
    return Par1CommandLine::CalcDefaultNumberPnn(numSubjectFiles());
}

QString PAR1Document::roomProblem(int numSubjectFiles, int count) {
    const int room = std::max(Par1CommandLine::kMaxFilesInSet - numSubjectFiles, 0);
    if (room >= count)
        return QString();
    if (room == 1)
        return StringTables::localized(QStringLiteral("TooManyFilesForPar1ErrS"));
    return formatString(StringTables::localized(QStringLiteral("TooManyFilesForPar1ErrP")), room);
}

// The platform's alert itself, so that it shows in unattended operation too.
bool PAR1Document::checkRoomForFiles(int count) {
    const QString problem = roomProblem(numSubjectFiles(), count);
    if (problem.isNull())
        return true;
    MainThread::runSync([&] {
        if (AlertPresenter* presenter = AlertPresenter::current())
            presenter->runModal(
                {AlertSeverity::Critical, QString(), problem, QString(), QString(), QString()});
        else
            qWarning().noquote() << QStringLiteral("Error: ") + problem;
    });
    return false;
}

// ---- Reading the helper ----------------------------------------------------

void PAR1Document::ProcessStdErrData(const QString& text) {
    ParserScope scope(*this);
    m_parser.ProcessStdErrData(text, m_PARIsRunning() == RunKind::VerifyRepair
                                         ? Par1OutputParser::RunType::VerifyRepair
                                         : Par1OutputParser::RunType::Create);
}

void PAR1Document::DetermineFinalStatusAfterRecover() {
    const int exitStatus = helperExitStatus();
    ParserScope scope(*this);
    m_parser.DetermineFinalStatusAfterRecover(exitStatus);
}

void PAR1Document::DetermineFinalStatusAfterGenerate() {
    ParserScope scope(*this);
    m_parser.DetermineFinalStatusAfterGenerate();
    if (m_par1Output.m_DocumentStatus == DocStatus::Created)
        listRecoveryVolumesWritten();
}

// The created set's recovery volumes, as the helper listed them once they
// were complete, each with its recovery block; the index file holds none and
// is the set itself, as a new PAR 2 set's main file is. Called while the maps
// are lent to the parser's model.
void PAR1Document::listRecoveryVolumesWritten() {
    FileStatusMap& volumes = m_par1Output.m_PxxFileStatus;
    volumes.remove(QFileInfo(fileName()).fileName());
    for (FileStatus& volume : volumes)
        volume.setNumRecoveryBlocks(1);
    noteFileStatusChanged();
}

void PAR1Document::CountStatistics(StatisticsRecord& statistics) const {
    MyDocument::CountStatistics(statistics);
    Par1OutputParser::CountStatistics(m_FileStatus, m_PxxFileStatus, statistics);
}

// ---- After a repair --------------------------------------------------------

void PAR1Document::DoAutoDeleteParFiles() {
    if (!Preferences::boolForKey(PrefKey::AutoDeletePnn))
        return;
    for (const QString& name : Par1VolumeFiles::namesToDeleteAfterRepair(
             fileName(), recoveryFileNames(), subjectFileNames()))
        Trash::moveToTrash(m_ChosenDirectory + QLatin1Char('/') + QFileInfo(name).fileName());
}

// ---- Creation --------------------------------------------------------------

QStringList PAR1Document::makeCreateParamArray(const QString& parFilePath,
                                               const QStringList& subjectFiles,
                                               const QVariantMap& parParameters) {
    return Par1CommandLine::makeCreateParamArray(
        parFilePath, subjectFiles,
        parParameters.value(QStringLiteral("NumSpecifiedInSaveOptions")).toInt());
}

bool PAR1Document::RemoveStrayPnnFiles() {
    return Par1VolumeFiles::RemoveStrayPnnFiles(fileName(), m_NumSpecifiedInSaveOptions(),
                                                subjectFileNames());
}

QStringList PAR1Document::subjectFileNames() const {
    std::lock_guard lock(m_DocumentLock);
    return m_FileStatus.keys();
}
