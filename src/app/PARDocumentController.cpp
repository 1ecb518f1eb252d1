#include "PARDocumentController.h"

#include "app/AfterRunActions.h"
#include "app/StartupDefaults.h"
#include "document/Document.h"
#include "document/DocumentTypes.h"
#include "document/MyDocument.h"
#include "document/UnattendedSupport.h"
#include "par1/PAR1Document.h"
#include "par2/PAR2Document.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Workspace.h"
#include "unrar/UnrarDocument.h"

#include <QFileInfo>
#include <QUrl>

PARDocumentController::PARDocumentController() {
    StartupDefaults::write(*this);
}

PARDocumentController::~PARDocumentController() = default;

PARDocumentController* PARDocumentController::sharedDocumentController() {
    return static_cast<PARDocumentController*>(DocumentController::shared());
}

QList<PostProcessRule> PARDocumentController::ReadPPRulesSet() {
    QList<QByteArray> blobs;
    {
        std::lock_guard guard(mPPRulesIOLock);
        blobs = Preferences::dataArrayForKey(PrefKey::PPRules);
    }
    QList<PostProcessRule> rules;
    rules.reserve(10);
    for (const QByteArray& blob : blobs) {
        if (std::optional<PostProcessRule> rule = PostProcessRule::unarchived(blob))
            rules.append(*rule);
    }
    return rules;
}

void PARDocumentController::SavePPRulesSet(const QList<PostProcessRule>& rules) {
    QList<QByteArray> blobs;
    for (const PostProcessRule& rule : rules)
        blobs.append(rule.archived());
    std::lock_guard guard(mPPRulesIOLock);
    Preferences::setDataArray(PrefKey::PPRules, blobs);
}

void PARDocumentController::SetStandardPPRules(QList<PostProcessRule>& rules) {
    const auto standard = [](const char* description, const char* suffix, int32_t action,
                             const char* program) {
        return PostProcessRule(QString::fromUtf8(description), PostProcessRule::EndsWith,
                               QString::fromUtf8(suffix), true, action, QString::fromUtf8(program),
                               QString());
    };
    const char* expander = "Stuffit Expander";
    rules = {
        standard("Unzip", ".zip", PostProcessRule::OpenWithDefault, ""),
        standard("Unstuff (sit)", ".sit", PostProcessRule::OpenWithProgram, expander),
        standard("Join and Unstuff (sit)", ".sit.1", PostProcessRule::OpenWithProgram, expander),
        standard("Join and Unstuff (sitx)", ".part01.sitx", PostProcessRule::OpenWithProgram,
                 expander),
        standard("Unstuff (sitx)", ".sitx", PostProcessRule::OpenWithProgram, expander),
    };
}

bool PARDocumentController::anyDocIsProcessing() const {
    const auto all = documents();
    return std::any_of(all.begin(), all.end(), [](const auto& d) { return d->isProcessing(); });
}

void PARDocumentController::registerForStartExclusiveProcessing(Document* document) {
    if (!Preferences::boolForKey(PrefKey::SimultaneousProcessing) && anyDocIsProcessing())
        return;
    document->startExclusiveProcessing();
}

void PARDocumentController::scheduleNextExclusiveProcessing() {
    for (const std::shared_ptr<Document>& document : documents()) {
        if (document->isWaitingForExclusiveProcessing()) {
            document->startExclusiveProcessing();
            return;
        }
    }
}

unsigned PARDocumentController::numWaitingDocuments() const {
    const auto all = documents();
    return unsigned(std::count_if(all.begin(), all.end(), [](const auto& d) {
        return d->isWaitingForExclusiveProcessing();
    }));
}

// ---- Opening -------------------------------------------------------------

namespace {

VLMError cannotOpen(const QString& location) {
    return VLMError(
        VLMError::kVelmoraDomain, 0,
        {{VLMError::kLocalizedDescriptionKey,
          formatString(StringTables::localized(QStringLiteral("CannotOpenURLErr")), location)}});
}

VLMError unknownKind(const QString& path) {
    return VLMError(VLMError::kVelmoraDomain, 1,
                    {{VLMError::kLocalizedDescriptionKey,
                      formatString(StringTables::localized(QStringLiteral("UnknownFileTypeErr")),
                                   QFileInfo(path).fileName())}});
}

VLMError notARegularFile(const QString& path) {
    return VLMError(VLMError::kVelmoraDomain, 1,
                    {{VLMError::kLocalizedDescriptionKey,
                      formatString(StringTables::localized(QStringLiteral("NotARegularFileErr")),
                                   QFileInfo(path).fileName())}});
}

// A FIFO or a device would block the first read, on the main thread; a missing
// file is left to the kinds of document, which say so themselves.
bool isOpenable(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

// A plain path or a file URL; a null string for anything else. Only "file:"
// and "scheme://" read as URLs, so a relative name with a colon
// ("part:1.par2") is a file in the working folder.
QString localPath(const QString& location) {
    if (location.startsWith(QLatin1Char('/')))
        return location;
    const QUrl url(location);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (!url.scheme().isEmpty() && location.contains(QLatin1String("://")))
        return QString();
    return QFileInfo(location).absoluteFilePath();
}

} // namespace

QString PARDocumentController::typeForContentsOfURL(const QString& location,
                                                    VLMError* error) const {
    const QString path = localPath(location);
    const QString type = path.isNull() ? QString() : DocumentTypes::typeForPath(path);
    if (type.isNull() && error != nullptr)
        *error = path.isNull() ? cannotOpen(location) : unknownKind(path);
    return type;
}

std::unique_ptr<DocumentAfterRun> PARDocumentController::makeAfterRunActions(MyDocument& document) {
    return std::make_unique<AfterRunActions>(document);
}

std::shared_ptr<MyDocument> PARDocumentController::makeDocument(const QString& type) const {
    if (type == DocumentTypes::Par2)
        return std::make_shared<PAR2Document>();
    if (type == DocumentTypes::Par1)
        return std::make_shared<PAR1Document>();
    return nullptr;
}

// A RAR archive opened on its own extracts itself through the queue, in its own
// progress window; it has no document window.
std::shared_ptr<Document> PARDocumentController::openRarArchive(const QString& path,
                                                                VLMError* error) {
    auto archive = std::make_shared<UnrarDocument>();
    archive->setController(this);
    if (!archive->readFromFile(path, DocumentTypes::Rar)) {
        if (error != nullptr)
            *error = VLMError::userCancelled();
        return nullptr;
    }
    addDocument(archive);
    archive->DoIt();
    return archive;
}

std::shared_ptr<MyDocument> PARDocumentController::openParDocument(const QString& path,
                                                                   const QString& type,
                                                                   bool display, VLMError* error) {
    std::shared_ptr<MyDocument> document = makeDocument(type);
    if (!document) {
        if (error != nullptr)
            *error = unknownKind(path);
        return nullptr;
    }
    if (!document->initWithContentsOfURL(path, type, error))
        return nullptr;
    addDocument(document);
    if (display && m_displayHandler)
        m_displayHandler(document);
    return document;
}

std::shared_ptr<Document>
PARDocumentController::openDocumentWithContentsOfURL(const QString& location, bool display,
                                                     VLMError* error) {
    const QString path = localPath(location);
    std::shared_ptr<Document> document;
    if (path.isNull()) {
        if (error != nullptr)
            *error = cannotOpen(location);
    } else if (!isOpenable(path)) {
        if (error != nullptr)
            *error = notARegularFile(path);
    } else if (const QString type = typeForContentsOfURL(path, error); type == DocumentTypes::Rar) {
        document = openRarArchive(path, error);
    } else if (!type.isNull()) {
        document = openParDocument(path, type, display, error);
    }
    dismissStrayUntitledDoc();
    return document;
}

QString PARDocumentController::defaultType() const {
    if (!mEfectiveDefaultNewDocType.isNull())
        return mEfectiveDefaultNewDocType;
    return Preferences::integerForKey(PrefKey::DefaultPar) == 1 ? DocumentTypes::Par1
                                                                : DocumentTypes::Par2;
}

std::shared_ptr<MyDocument> PARDocumentController::newUntitledDocument(const QString& type) {
    mEfectiveDefaultNewDocType = type;
    std::shared_ptr<MyDocument> document = makeDocument(defaultType());
    mEfectiveDefaultNewDocType.clear();
    if (!document) {
        VLMLRunCriticalAlertPanel(QString(),
                                  StringTables::localized(QStringLiteral("CannotMakeDocErr")),
                                  QString(), QString(), QString(), type);
        return nullptr;
    }
    document->setFileType(type);
    addDocument(document);
    if (m_displayHandler)
        m_displayHandler(document);
    return document;
}

std::shared_ptr<MyDocument> PARDocumentController::onNewPar1() {
    return newUntitledDocument(DocumentTypes::Par1);
}

std::shared_ptr<MyDocument> PARDocumentController::onNewPar2() {
    return newUntitledDocument(DocumentTypes::Par2);
}

std::shared_ptr<MyDocument> PARDocumentController::newDocumentOfType(const QString& type) {
    if (type == DocumentTypes::Par1 || type == DocumentTypes::Par2)
        return newUntitledDocument(type);
    return newUntitledDocument(defaultType());
}

// The empty document made at launch goes as soon as a real set opens; several
// untitled documents are the user's own and stay, and so does one that holds
// files the user added.
void PARDocumentController::dismissStrayUntitledDoc() {
    std::shared_ptr<MyDocument> stray;
    int count = 0;
    for (const std::shared_ptr<Document>& document : documents()) {
        auto candidate = std::dynamic_pointer_cast<MyDocument>(document);
        if (candidate && candidate->fileType() == defaultType() && candidate->docIsUntitled() &&
            candidate->numSubjectFiles() == 0 && !candidate->anyProcessRunning()) {
            stray = candidate;
            ++count;
        }
    }
    if (count == 1)
        stray->close();
}

bool PARDocumentController::canCloseAll() const {
    bool anyParDocument = false;
    for (const std::shared_ptr<Document>& document : documents()) {
        auto parDocument = std::dynamic_pointer_cast<MyDocument>(document);
        if (!parDocument)
            continue;
        if (parDocument->anyProcessRunning())
            return false;
        anyParDocument = true;
    }
    return anyParDocument;
}

void PARDocumentController::PerformCloseAll() {
    if (!canCloseAll())
        return;
    for (const std::shared_ptr<Document>& document : documents()) {
        if (document->canClose())
            document->close();
    }
}

// ---- Extraction folders and notifications ----------------------------------

void PARDocumentController::didActivateNotification(const QVariantMap& userInfo) const {
    const QString path = userInfo.value(QStringLiteral("unrarresultpath")).toString();
    if (!path.isEmpty() && Workspace::current() != nullptr)
        Workspace::current()->revealInFileManager(path);
}
