#pragma once

#include "document/DocumentAfterRun.h"
#include "platform/ConditionLock.h"
#include "postprocess/PostProcessRule.h"
#include "postprocess/PostProcessingRecord.h"
#include "unrar/VLMUnrarProgressionControllerDelegate.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class MyDocument;
class PARDocumentController;
class UnrarProgressionController;

// What a PAR document does after a verify/repair run that ended well, and its
// post-processing command: move the recovery files to the trash, apply the first
// matching post-processing rule or else extract the set's RAR archive, and close
// the document when asked to.
//
// One per document, living as long as the document. Threads: the end of a run
// (performAfterRunActions, DoAutoPostProcessing, DoAutoUnrar) runs on the reader
// of the main output pipe; the rule actions, the extraction and closing run on
// the main thread. The reader hands each action to the main thread and waits
// until it has run, so the steps keep their order: recovery files, rule or
// extraction, close request, next scheduling.
//
// The turn of the scheduler is handed on exactly once per end of processing:
// by the end of the run, or, when an automatic extraction was announced, by the
// end of that extraction, or by handleAutoUnrar when none could be set up (the
// archive changed, or the user canceled the destination question).
class AfterRunActions : public DocumentAfterRun, public VLMUnrarProgressionControllerDelegate {
public:
    // Results of DoAutoPostProcessing.
    static constexpr int kNothingStarted = 0;
    static constexpr int kExtractionStarted = 1;
    static constexpr int kRuleApplied = 2;

    explicit AfterRunActions(MyDocument& document);
    ~AfterRunActions() override;
    AfterRunActions(const AfterRunActions&) = delete;
    AfterRunActions& operator=(const AfterRunActions&) = delete;

    // The document's after-run actions, null when it has none.
    static AfterRunActions* of(const MyDocument& document);

    // The after-run actions of a successful verify/repair run, on the reader
    // thread. True when an automatic extraction now holds the next turn, so the
    // run must not ask for the next document itself.
    bool performAfterRunActions() override;
    int DoAutoPostProcessing();
    int DoAutoUnrar();
    // Main thread: starts the announced automatic extraction, or hands the turn
    // on when there is none to start.
    void handleAutoUnrar();

    // The post-processing command (main thread): the rule, then the automatic
    // close; else the extraction.
    void PerformPostProcessing();
    // Whether the command is enabled, and its title.
    bool validatePostProcessing(QString* title) const;

    std::optional<PostProcessRule> FindApplicablePPRule(QString* target) const;
    // Carries out the rule on the target (main thread).
    void handleAutoPP(const PostProcessRule& rule, const QString& target);

    // Whether the set is a complete RAR archive, after a run that ended well;
    // sets the first volume's name (else a null string).
    bool IsDocumentFitForUnrar(QString* firstVolume) const;
    // base.rar (or .exe), base.r00, base.r01, ... without gaps, one base.
    static bool IsClassicRar(const QStringList& names, QString* firstVolume);
    // base.part1.rar ... base.partN.rar, all present, one width of part number.
    static bool IsModernRar(const QStringList& names, QString* firstVolume);

    // Sets up an extraction of the set's archive and registers it with the
    // scheduler (main thread). False when the user canceled the destination
    // question or an extraction exists already.
    bool PerformUnrar(const QString& firstVolume);
    // The scheduler's turn for the waiting extraction, once MyDocument's
    // startExclusiveProcessing has set UnrarState::Running.
    void startExclusiveExtraction() override;
    UnrarProgressionController* unrarController() const { return m_UnrarController.get(); }

    // The window's line about an extraction that ended.
    static QString extractionResultText(const UnrarResult& result);

    void unrarSucceeded() override;
    void unrarFinished() override;
    void unrarProgressionControllerDidEnd(UnrarProgressionController* controller) override;

    // From any thread: closes the document, once its readers have exited, when
    // "AutoCloseDocument" is on.
    void doAutoClose();
    void handleAutoClose();

    // Moves the file of that name from the set's folder to the trash; failures
    // are ignored. Folders, "." and ".." are never moved.
    void DeleteOneFileFromChosenDir(const QString& pathOrName);

    PostProcessingRecord postProcessingRecord() const;

private:
    PARDocumentController* documentController() const;
    void handOverToMainThread(std::function<void()> action);
    QStringList filesInChosenDirectory() const;
    QStringList settleDamagedCopies();
    template <typename Change> void changeRecord(Change change);

    MyDocument& m_document;
    // Condition 1: the main thread has carried out what the reader handed over.
    ConditionLock m_AutoActionSignal{0};
    std::shared_ptr<UnrarProgressionController> m_UnrarController;
    mutable std::mutex m_recordLock;
    PostProcessingRecord m_record;
};
