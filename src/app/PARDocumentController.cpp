#include "PARDocumentController.h"

#include "app/Document.h"
#include "platform/Preferences.h"
#include "preferences/PreferenceKeys.h"
#include "preferences/StartupDefaults.h"

namespace {
PARDocumentController* sharedController = nullptr;
}

PARDocumentController::PARDocumentController() {
    sharedController = this;
    StartupDefaults::write(*this);
}

PARDocumentController::~PARDocumentController() {
    if (sharedController == this)
        sharedController = nullptr;
}

PARDocumentController* PARDocumentController::sharedDocumentController() {
    return sharedController;
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
