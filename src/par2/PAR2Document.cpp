#include "PAR2Document.h"

#include "par2/EncodingSelectionController.h"
#include "par2/FilenameEncodings.h"
#include "par2/Par2CommandLine.h"
#include "par2/Par2ListedFiles.h"
#include "par2/Par2RepairPreconditions.h"
#include "par2/Par2VolumeFiles.h"
#include "par2/TargetFileList.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ThreadName.h"

#include <QDebug>
#include <QFileInfo>
#include <thread>

class PAR2Document::ParserScope : public MyDocument::ModelLoan<Par2OutputModel> {
public:
    explicit ParserScope(PAR2Document& document) : ModelLoan(document, document.m_par2Output) {
        document.m_par2Output.m_IsVerifyRepairRun =
            document.m_PARIsRunning() == RunKind::VerifyRepair;
    }
};

PAR2Document::PAR2Document() : MyDocument(Par2CommandLine::kToolName) {
    m_parser.setFileStatusNotice(
        [this](const QString& emphasizeKey) { noteFileStatusChanged(emphasizeKey); });
    m_createReader.setFileStatusNotice([this] { noteFileStatusChanged(); });
}

PAR2Document::~PAR2Document() {
    if (m_EncodingSelectionController)
        m_EncodingSelectionController->setDelegate(nullptr);
}

QStringList PAR2Document::makeRepairParamArray(const QString& parFilePath) {
    const QStringList arguments = Par2CommandLine::makeRepairParamArray(parFilePath);
    std::lock_guard lock(m_DocumentLock);
    m_parser.setGivenFiles(Par2CommandLine::givenFiles(arguments));
    return arguments;
}

QStringList PAR2Document::makeFolderScanRepairParamArray(const QString& parFilePath) {
    return Par2CommandLine::makeFolderScanRepairParamArray(parFilePath);
}

int PAR2Document::getDefaultNumberForSaveOptions() {
    return Preferences::integerForKey(PrefKey::Par2Redundancy);
}

QString PAR2Document::roomProblemForAdding(int count) const {
    return Par2RepairPreconditions::roomProblem(numSubjectFiles(), count);
}

bool PAR2Document::checkRoomForFiles(int count) {
    return Par2RepairPreconditions::checkRoomForFiles(numSubjectFiles(), count);
}

// Reading the set's names, looking for links among them and counting the
// folder's files happen on a worker: a large set has tens of thousands of
// each. A question they raise is asked from there; the run starts once the
// worker is done. Answers false: the run is not started here.
bool PAR2Document::prepareDocForRepairRun() {
    {
        std::lock_guard lock(m_DocumentLock);
        m_parser.resetForRun();
    }
    if (std::exchange(m_preparingRun, true))
        return false;
    std::weak_ptr<Document> weak = weak_from_this();
    std::thread([weak, path = fileName()] {
        setCurrentThreadName(QStringLiteral("PreparingThread"));
        lowerCurrentThreadPriority();
        RunPreparation preparation = prepareRun(path);
        MainThread::post([weak, preparation = std::move(preparation)]() mutable {
            if (auto document = std::static_pointer_cast<PAR2Document>(weak.lock()))
                document->runPrepared(std::move(preparation));
        });
    }).detach();
    return false;
}

PAR2Document::RunPreparation PAR2Document::prepareRun(const QString& path) {
    RunPreparation preparation;
    const std::optional<TargetFileList> names = TargetFileList::initFromPar2File(path);
    preparation.mayRun = Par2RepairPreconditions::VerifyPathsForRepair(path, names) &&
                         Par2RepairPreconditions::VerifyPreconditionsForRepair(path, names);
    if (!preparation.mayRun)
        return preparation;
    const QList<QByteArray> stored = names ? names->getFileArray() : QList<QByteArray>();
    preparation.namesAreUtf8 = names && FilenameEncodings::storedAsUtf8(stored);
    preparation.samples = EncodingSelectionController::chooseSamples(stored);
    return preparation;
}

void PAR2Document::runPrepared(RunPreparation preparation) {
    m_preparingRun = false;
    if (isClosed())
        return;
    if (!preparation.mayRun) {
        setm_DocumentStatus(DocStatus::Aborted);
        return;
    }
    if (m_UserChoseEncoding) {
        finishStartRepairRun(m_encoding);
        return;
    }
    if (Preferences::boolForKey(PrefKey::UnattendedOperation)) {
        if (preparation.namesAreUtf8)
            m_encoding = FilenameEncodings::kUtf8Encoding;
        qInfo().noquote() << QStringLiteral(
                                 "Info: using default string encoding %1 for par2 file \"%2\"")
                                 .arg(FilenameEncodings::localizedName(m_encoding), fileName());
        finishStartRepairRun(m_encoding);
        return;
    }
    encodingSamplesChosen(std::move(preparation.samples), preparation.namesAreUtf8);
}

std::function<FileStatusMap()> PAR2Document::listedFilesReader() const {
    return [path = fileName(), encoding = m_encoding.load()] {
        return Par2ListedFiles::read(path, encoding);
    };
}

void PAR2Document::encodingSamplesChosen(QList<DecodedString> samples, bool namesAreUtf8) {
    m_EncodingSelectionController = std::make_shared<EncodingSelectionController>();
    const std::shared_ptr<EncodingSelectionController> chooser = m_EncodingSelectionController;
    chooser->setDelegate(this);
    if (chooser->doItForSamples(std::move(samples), parController(), namesAreUtf8))
        return;
    qWarning().noquote()
        << QStringLiteral("Error: file \"%1\" did not contain any decodable files name and might "
                          "be corrupt")
               .arg(fileName());
    chooser->setDelegate(nullptr);
    m_EncodingSelectionController.reset();
    finishStartRepairRun(m_encoding);
}

void PAR2Document::encodingSelectionController(EncodingSelectionController* controller,
                                               int returnCode, uint32_t selectedEncoding) {
    controller->setDelegate(nullptr);
    m_EncodingSelectionController.reset();
    if (returnCode != EncodingSelectionController::kReturnOK) {
        std::weak_ptr<Document> weak = weak_from_this();
        MainThread::post([weak] {
            if (auto document = weak.lock())
                document->close();
        });
        return;
    }
    m_UserChoseEncoding = true;
    finishStartRepairRun(selectedEncoding);
}

void PAR2Document::ProcessStdOutData(const QString& text) {
    ParserScope scope(*this);
    m_parser.ProcessStdOutData(text);
    if (!m_par2Output.m_IsVerifyRepairRun && (text.contains(u'\n') || text.contains(u'\r')))
        m_createReader.DetermineGenerateStateFromParOutput();
}

void PAR2Document::ProcessStdErrData(const QString& text) {
    ParserScope scope(*this);
    m_parser.ProcessStdErrData(text);
}

void PAR2Document::DetermineFinalStatusAfterRecover() {
    const int exitStatus = helperExitStatus();
    ParserScope scope(*this);
    m_parser.DetermineFinalStatusAfterRecover(exitStatus, m_ChosenDirectory);
}

QStringList PAR2Document::makeCreateParamArray(const QString& parFilePath,
                                               const QStringList& subjectFiles,
                                               const QVariantMap& parParameters) {
    return Par2CommandLine::makeCreateParamArray(
        parFilePath, subjectFiles,
        parParameters.value(QStringLiteral("NumSpecifiedInSaveOptions")).toInt());
}

bool PAR2Document::RemoveStrayPnnFiles() {
    return Par2VolumeFiles::RemoveStrayPnnFiles(fileName());
}

void PAR2Document::prepareDocForCreateRun() {
    std::lock_guard lock(m_DocumentLock);
    m_parser.resetForRun();
    m_createReader.resetForRun();
}

// A set counts as created only when par2 says so and its main file is there;
// what a failed run left is removed, so it cannot pass for a recovery set.
void PAR2Document::DetermineFinalStatusAfterGenerate() {
    const bool created = helperExitStatus() == 0 && QFileInfo(fileName()).isFile();
    bool failed = false;
    {
        ParserScope scope(*this);
        failed = m_createReader.DetermineFinalStatusAfterGenerate(created);
        if (created)
            listRecoveryVolumesWritten();
    }
    if (failed)
        RemoveStrayPnnFiles();
}

// The created set's recovery files are shown as they are on disk, each with
// its recovery blocks. Called while the maps are lent to the parser's model.
void PAR2Document::listRecoveryVolumesWritten() {
    FileStatusMap& recoveryFiles = m_par2Output.m_PxxFileStatus;
    recoveryFiles.clear();
    const QMap<QString, int32_t> volumes = Par2VolumeFiles::recoveryVolumesWritten(fileName());
    for (auto it = volumes.cbegin(); it != volumes.cend(); ++it) {
        FileStatus record(it.key(), FileCode::Intact);
        record.setNumRecoveryBlocks(it.value());
        recoveryFiles.insert(it.key(), record);
    }
    noteFileStatusChanged();
}

void PAR2Document::CountStatistics(StatisticsRecord& statistics) const {
    MyDocument::CountStatistics(statistics);
    Par2OutputParser::CountStatistics(m_FileStatus, m_par2Output, statistics);
    statistics[StatisticsRecord::RecoveryVolumesFound] = countRecoveryFilesPresent(m_PxxFileStatus);
}

void PAR2Document::DoAutoDeleteParFiles() {
    Par2VolumeFiles::DoAutoDeleteParFiles(m_ChosenDirectory, QFileInfo(fileName()).fileName(),
                                          recoveryFileNames() + emptyPar2Files());
}

QStringList PAR2Document::emptyPar2Files() const {
    std::lock_guard lock(m_DocumentLock);
    return m_par2Output.m_EmptyPar2Files;
}
