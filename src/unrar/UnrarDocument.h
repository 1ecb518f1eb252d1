#pragma once

#include "document/Document.h"
#include "unrar/UnrarResult.h"
#include "unrar/VLMUnrarProgressionControllerDelegate.h"

#include <atomic>
#include <cstdint>
#include <memory>

class DocumentController;

// A RAR archive opened on its own: it extracts the archive through the
// exclusive-processing queue, in a progress window of its own, and closes
// itself when the extraction is over. Main thread only.
class UnrarDocument : public Document, public VLMUnrarProgressionControllerDelegate {
public:
    UnrarDocument() = default;
    ~UnrarDocument() override;

    // For a "RAR archive": decides the destination ("UnrarDestinationDetermination":
    // 1 asks, unless in unattended operation; 2 the fixed folder; else the
    // archive's folder). False, and the document is not opened, when the user
    // cancels the folder question. Other types read without doing anything.
    bool readFromFile(const QString& path, const QString& type);
    // Called by the document controller after opening: the extraction waits for
    // its turn.
    void DoIt();

    void startExclusiveProcessing() override;
    bool isProcessing() const override;
    bool isWaitingForExclusiveProcessing() const override;
    bool CanPerformAbortAction() const { return false; }
    int32_t m_UnrarInProgress() const { return m_unrarInProgress; }

    // The extraction is over: the next document gets its turn when this one had
    // started, and the document closes.
    void unrarFinished() override;
    void unrarProgressionControllerDidEnd(UnrarProgressionController* controller) override;

    UnrarProgressionController* unrarController() const { return m_Controller.get(); }
    // How the extraction ended (outcome UnrarResult::kNotEnded until then).
    UnrarResult extractionResult() const { return m_result; }

private:
    DocumentController* documentController() const;

    std::atomic<int32_t> m_unrarInProgress{0};
    std::shared_ptr<UnrarProgressionController> m_Controller;
    QString m_OutputDir;
    UnrarResult m_result;
};
