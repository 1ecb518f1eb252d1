#include "AfterRunActions.h"

#include "app/PARDocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "document/MyDocument.h"
#include "platform/Analytics.h"
#include "platform/FolderEntries.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Trash.h"
#include "postprocess/RuleAction.h"
#include "postprocess/RuleMatching.h"
#include "unrar/RarVolumeNames.h"
#include "unrar/UnrarDestination.h"
#include "unrar/UnrarProgressionController.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

bool isOneOf(const QString& extension, const char* first, const char* second) {
    return extension.compare(QLatin1String(first), Qt::CaseInsensitive) == 0 ||
           extension.compare(QLatin1String(second), Qt::CaseInsensitive) == 0;
}

void scheduleNextOnMainThread() {
    MainThread::post([] {
        if (auto* controller = PARDocumentController::sharedDocumentController())
            controller->scheduleNextExclusiveProcessing();
    });
}

QString quoted(const QString& name) {
    return QStringLiteral("\u201C%1\u201D").arg(name);
}

// Signals the reader when the main thread is done with what it was handed: after
// the action ran, or when the queued action is dropped unrun because the
// application is going away.
class HandOverDone {
public:
    explicit HandOverDone(ConditionLock& signal) : m_signal(signal) {}
    ~HandOverDone() {
        m_signal.lock();
        m_signal.unlockWithCondition(1);
    }
    HandOverDone(const HandOverDone&) = delete;
    HandOverDone& operator=(const HandOverDone&) = delete;

private:
    ConditionLock& m_signal;
};

} // namespace

AfterRunActions::AfterRunActions(MyDocument& document) : m_document(document) {}

AfterRunActions::~AfterRunActions() {
    if (m_UnrarController)
        m_UnrarController->setDelegate(nullptr);
}

AfterRunActions* AfterRunActions::of(const MyDocument& document) {
    return dynamic_cast<AfterRunActions*>(document.afterRunActions());
}

PARDocumentController* AfterRunActions::documentController() const {
    if (auto* controller = dynamic_cast<PARDocumentController*>(m_document.controller()))
        return controller;
    return PARDocumentController::sharedDocumentController();
}

template <typename Change> void AfterRunActions::changeRecord(Change change) {
    std::lock_guard guard(m_recordLock);
    change(m_record);
}

PostProcessingRecord AfterRunActions::postProcessingRecord() const {
    std::lock_guard guard(m_recordLock);
    return m_record;
}

// ---- The end of a run (reader thread) --------------------------------------

bool AfterRunActions::performAfterRunActions() {
    const QStringList before = filesInChosenDirectory();
    const QStringList keptCopies = settleDamagedCopies();
    m_document.DoAutoDeleteParFiles();
    const QStringList remaining = filesInChosenDirectory();
    const QSet<QString> after(remaining.cbegin(), remaining.cend());
    QStringList deleted;
    for (const QString& name : before) {
        if (!after.contains(name))
            deleted.append(name);
    }
    m_document.noteRemovedFiles(deleted);
    changeRecord([&](PostProcessingRecord& record) {
        record = PostProcessingRecord();
        record.deletedFiles = deleted;
        record.keptDamagedCopies = keptCopies;
    });
    switch (DoAutoPostProcessing()) {
    case kExtractionStarted:
        return true;
    case kNothingStarted:
        doAutoClose();
        return false;
    default:
        return false;
    }
}

// The damaged copies a complete repair left beside the repaired files go to the
// trash unless the user keeps them. Answers the copies kept.
QStringList AfterRunActions::settleDamagedCopies() {
    const QStringList copies = m_document.damagedCopiesOfLastRun();
    if (Preferences::boolForKey(PrefKey::KeepBrokenFiles))
        return copies;
    for (const QString& copy : copies)
        DeleteOneFileFromChosenDir(copy);
    return {};
}

// Every entry but folders, in name order: files, links and special files.
QStringList AfterRunActions::filesInChosenDirectory() const {
    QStringList names;
    for (FolderEntries::Entry& entry : FolderEntries::read(m_document.chosenDirectory())) {
        if (!entry.folder)
            names.append(std::move(entry.name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

int AfterRunActions::DoAutoPostProcessing() {
    if (Preferences::boolForKey(PrefKey::AutoPostProcess)) {
        QString target;
        if (const std::optional<PostProcessRule> rule = FindApplicablePPRule(&target)) {
            handOverToMainThread([this, rule = *rule, target] { handleAutoPP(rule, target); });
            doAutoClose();
            return kRuleApplied;
        }
    }
    return DoAutoUnrar();
}

int AfterRunActions::DoAutoUnrar() {
    QString firstVolume;
    if (!Preferences::boolForKey(PrefKey::AutoPostProcess) || !IsDocumentFitForUnrar(&firstVolume))
        return kNothingStarted;
    handOverToMainThread([this] { handleAutoUnrar(); });
    return kExtractionStarted;
}

// The reader waits until the main thread has run the action, however long a
// question there takes; the reader holds no lock the main thread may need.
void AfterRunActions::handOverToMainThread(std::function<void()> action) {
    if (MainThread::isCurrent()) {
        action();
        return;
    }
    auto done = std::make_shared<HandOverDone>(m_AutoActionSignal);
    MainThread::post([action = std::move(action), done = std::move(done)] { action(); });
    m_AutoActionSignal.lockWhenCondition(1);
    m_AutoActionSignal.unlockWithCondition(0);
}

void AfterRunActions::handleAutoUnrar() {
    QString firstVolume;
    const bool started = IsDocumentFitForUnrar(&firstVolume) && PerformUnrar(firstVolume);
    // The run's end left the scheduling to an extraction that does not exist.
    if (!started)
        scheduleNextOnMainThread();
}

// ---- Post-processing by hand ---------------------------------------------

bool AfterRunActions::validatePostProcessing(QString* title) const {
    const bool idle = m_document.m_PARIsRunning() == RunKind::None &&
                      !m_document.showingAddFileSheet() &&
                      m_document.m_UnrarInProgress() == UnrarState::None &&
                      DocStatus::isSuccessfulOutcome(m_document.m_DocumentStatus());
    QString name;
    QString text = StringTables::localized(QStringLiteral("MenuTextPostProcess"));
    bool enabled = false;
    if (idle) {
        if (const std::optional<PostProcessRule> rule = FindApplicablePPRule(&name)) {
            text = rule->mDescription() + u' ' + quoted(name);
            enabled = true;
        } else if (IsDocumentFitForUnrar(&name) &&
                   QFileInfo::exists(m_document.chosenDirectory() + u'/' + name)) {
            // Once extracted, the volumes may be gone: nothing left to extract.
            text = StringTables::localized(QStringLiteral("MenuTextUnrar")) + u' ' + quoted(name);
            enabled = true;
        }
    }
    if (title != nullptr)
        *title = text;
    return enabled;
}

void AfterRunActions::PerformPostProcessing() {
    if (!validatePostProcessing(nullptr))
        return;
    QString target;
    if (const std::optional<PostProcessRule> rule = FindApplicablePPRule(&target)) {
        handleAutoPP(*rule, target);
        doAutoClose();
        return;
    }
    QString firstVolume;
    if (IsDocumentFitForUnrar(&firstVolume))
        PerformUnrar(firstVolume);
}

// ---- Rules -----------------------------------------------------------------

std::optional<PostProcessRule> AfterRunActions::FindApplicablePPRule(QString* target) const {
    PARDocumentController* controller = documentController();
    const QList<PostProcessRule> rules =
        controller != nullptr ? controller->ReadPPRulesSet() : QList<PostProcessRule>();
    return RuleMatching::FindApplicablePPRule(rules, m_document.fileStatusSnapshot(), target);
}

void AfterRunActions::handleAutoPP(const PostProcessRule& rule, const QString& target) {
    changeRecord([&](PostProcessingRecord& record) {
        record.action = PostProcessingRecord::Action::Rule;
        record.rule = rule.mDescription();
        record.target = target;
    });
    RuleAction::handleAutoPP(rule, m_document.chosenDirectory(), target);
    if (DocumentWindowInterface* window = m_document.parController())
        window->ResultChanged(
            &m_document,
            formatString(StringTables::localized(QStringLiteral("ResultRuleApplied")),
                         rule.mDescription(), target),
            m_document.chosenDirectory() + u'/' + target);
}

// ---- Is the set an archive? ------------------------------------------------

bool AfterRunActions::IsDocumentFitForUnrar(QString* firstVolume) const {
    *firstVolume = QString();
    if (!DocStatus::isSuccessfulOutcome(m_document.m_DocumentStatus()))
        return false;
    const QStringList names = m_document.fileStatusSnapshot().keys();
    return IsClassicRar(names, firstVolume) || IsModernRar(names, firstVolume);
}

bool AfterRunActions::IsClassicRar(const QStringList& names, QString* firstVolume) {
    QString base;
    QString first;
    int firstVolumes = 0;
    int furtherVolumes = 0;
    int highestVolume = -1;
    for (const QString& name : names) {
        const QString extension = RarPathExtension(name);
        if (extension.size() != 3)
            continue;
        const QString stem = RarPathWithoutExtension(name);
        uint32_t ordinal = 0;
        const bool isFirst = isOneOf(extension, "rar", "exe");
        if (!isFirst && DetermineNextClassicRarExtension(extension, &ordinal).isNull())
            continue;
        if (isFirst && firstVolumes > 0)
            return false;
        if (!base.isNull() && base != stem)
            return false;
        base = stem;
        if (isFirst) {
            ++firstVolumes;
            first = name;
        } else {
            ++furtherVolumes;
            highestVolume = std::max(highestVolume, int(ordinal) - 1);
        }
    }
    if (firstVolumes != 1 || furtherVolumes != highestVolume + 1)
        return false;
    *firstVolume = first;
    return true;
}

bool AfterRunActions::IsModernRar(const QStringList& names, QString* firstVolume) {
    QString base;
    int32_t digits = -1;
    uint32_t count = 0;
    uint32_t highestPart = 0;
    QString first;
    for (const QString& name : names) {
        const QString extension = RarPathExtension(name);
        if (!isOneOf(extension, "rar", "exe"))
            continue;
        const QString stem = RarPathWithoutExtension(name);
        const QString stemBase = RarPathWithoutExtension(stem);
        uint32_t part = 0;
        const int32_t width = DeterminePartNum(RarPathExtension(stem), &part);
        if (stemBase.isEmpty() || width < 0)
            continue;
        if (digits < 0) {
            base = stemBase;
            digits = width;
        } else if (stemBase != base) {
            continue;
        } else if (width != digits) {
            return false;
        }
        if (extension.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0 && part != 1)
            continue;
        ++count;
        highestPart = std::max(highestPart, part);
        if (part == 1)
            first = name;
    }
    if (first.isNull() || count != highestPart)
        return false;
    *firstVolume = first;
    return true;
}

// ---- Extraction --------------------------------------------------------------

bool AfterRunActions::PerformUnrar(const QString& firstVolume) {
    if (m_UnrarController || m_document.m_UnrarInProgress() != UnrarState::None)
        return false;
    const std::optional<QString> destination = UnrarDestination::forNewExtraction();
    if (!destination)
        return false;
    m_UnrarController = UnrarProgressionController::create();
    m_UnrarController->setDelegate(this);
    m_document.setm_UnrarInProgress(UnrarState::Waiting);
    m_UnrarController->setupForParDocument(m_document.parController(),
                                           m_document.chosenDirectory() + u'/' + firstVolume,
                                           *destination);
    changeRecord([&](PostProcessingRecord& record) {
        record.action = PostProcessingRecord::Action::Extract;
        record.target = firstVolume;
        record.extraction = UnrarResult();
    });
    if (PARDocumentController* controller = documentController())
        controller->registerForStartExclusiveProcessing(&m_document);
    return true;
}

void AfterRunActions::startExclusiveExtraction() {
    if (m_UnrarController)
        m_UnrarController->startExclusiveProcessing();
}

void AfterRunActions::unrarSucceeded() {
    doAutoClose();
}

QString AfterRunActions::extractionResultText(const UnrarResult& result) {
    if (result.outcome == UnrarOutcome::Finished)
        return formatString(StringTables::localized(QStringLiteral("ResultExtractedTo")),
                            pathForDisplay(result.outputPath));
    if (result.outcome == UnrarOutcome::Failed)
        return formatString(StringTables::localized(QStringLiteral("ResultExtractionFailed")),
                            result.errorText);
    return StringTables::localized(QStringLiteral("ResultExtractionCanceled"));
}

void AfterRunActions::unrarFinished() {
    UnrarResult result;
    if (m_UnrarController) {
        result = m_UnrarController->result();
        changeRecord([&](PostProcessingRecord& record) { record.extraction = result; });
    }
    m_document.setm_UnrarInProgress(UnrarState::None);
    m_document.noteRemovedFiles(result.deletedFiles);
    std::weak_ptr<Document> weak = m_document.weak_from_this();
    MainThread::post([weak, result] {
        Analytics::recordEvent(QStringLiteral("UnrarFinished"));
        if (auto document = std::static_pointer_cast<MyDocument>(weak.lock())) {
            if (DocumentWindowInterface* window = document->parController()) {
                window->setCloseButtonEnabled(true);
                window->ResultChanged(document.get(), extractionResultText(result),
                                      result.outcome == UnrarOutcome::Finished ? result.outputPath
                                                                               : QString());
            }
        }
        if (auto* controller = PARDocumentController::sharedDocumentController())
            controller->scheduleNextExclusiveProcessing();
    });
}

void AfterRunActions::unrarProgressionControllerDidEnd(UnrarProgressionController* controller) {
    if (m_UnrarController.get() != controller)
        return;
    m_UnrarController->setDelegate(nullptr);
    m_UnrarController.reset();
}

// ---- Closing and deleting ----------------------------------------------------

void AfterRunActions::doAutoClose() {
    if (!Preferences::boolForKey(PrefKey::AutoCloseDocument))
        return;
    std::weak_ptr<Document> weak = m_document.weak_from_this();
    MainThread::post([this, weak] {
        if (auto document = weak.lock())
            handleAutoClose();
    });
}

// Closing waits for the readers of the last run without blocking: a reader may
// itself be waiting for the main thread.
void AfterRunActions::handleAutoClose() {
    if (m_document.isClosed() || m_document.anyProcessRunning() ||
        m_document.isWaitingForExclusiveProcessing())
        return;
    m_document.closeWhenReadersExit();
}

void AfterRunActions::DeleteOneFileFromChosenDir(const QString& pathOrName) {
    const QString name = pathOrName.mid(pathOrName.lastIndexOf(u'/') + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return;
    const QFileInfo file(m_document.chosenDirectory() + u'/' + name);
    if (file.isDir() && !file.isSymLink())
        return;
    Trash::moveToTrash(file.filePath());
}
