#pragma once

#include "app/DocumentController.h"
#include "postprocess/PostProcessRule.h"

#include <QList>
#include <mutex>

// The application-wide document controller. Its initialiser writes the missing
// preference defaults and seeds or upgrades the stored post-processing rules.
// The rule-set operations may be called from any thread.
class PARDocumentController : public DocumentController {
public:
    PARDocumentController();
    virtual ~PARDocumentController();
    PARDocumentController(const PARDocumentController&) = delete;
    PARDocumentController& operator=(const PARDocumentController&) = delete;

    // The controller of this process, or null before one exists.
    static PARDocumentController* sharedDocumentController();

    QList<PostProcessRule> ReadPPRulesSet();
    void SavePPRulesSet(const QList<PostProcessRule>& rules);
    static void SetStandardPPRules(QList<PostProcessRule>& rules);

    // Exclusive processing: by default one document at a time verifies, repairs
    // or extracts; the others wait in document-list order. Main thread only.
    bool anyDocIsProcessing() const;
    void registerForStartExclusiveProcessing(Document* document);
    void scheduleNextExclusiveProcessing();
    unsigned numWaitingDocuments() const;

private:
    std::mutex mPPRulesIOLock;
};
