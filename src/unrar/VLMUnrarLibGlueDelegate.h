#pragma once

#include "document/VLMError.h"

#include <QString>
#include <QUrl>
#include <optional>

class VLMUnrarLibGlue;

// Outcome of a run, handed to unrarLibGlueEnded.
namespace UnrarOutcome {
inline constexpr int Finished = 0;
inline constexpr int Canceled = 1;
inline constexpr int Failed = 2;
} // namespace UnrarOutcome

// Answers to the existing-output question; any other value cancels.
namespace ExistingOutputAction {
inline constexpr int Overwrite = 1;
inline constexpr int KeepBoth = 2;
inline constexpr int Cancel = 3;
} // namespace ExistingOutputAction

// Receives the events of one extraction, always on the main thread. Only
// unrarLibGlueEnded must be implemented; the others default to what the glue does
// when nobody answers: keep both for existing output, no password (the library
// is stopped).
//
// The glue holds its delegate weakly: a plain pointer that it reads on the main
// thread only, when an event is delivered. A delegate that goes away before the
// end event detaches first with setDelegate(nullptr); events still queued then
// reach nobody.
class VLMUnrarLibGlueDelegate {
public:
    virtual ~VLMUnrarLibGlueDelegate() = default;

    // Last event of a run; the error is set when the result is UnrarOutcome::Failed.
    virtual void unrarLibGlueEnded(VLMUnrarLibGlue* glue, int result, const VLMError& error) = 0;

    virtual void unrarLibGlueStartedUnrar(VLMUnrarLibGlue* /*glue*/) {}

    // progress is the fraction done, or a negative number when there is none (an
    // archive whose entries unpack to 0 bytes).
    virtual void unrarLibGlueProgress(VLMUnrarLibGlue* /*glue*/, double /*progress*/,
                                      qint64 /*byteCount*/, const QString& /*currentFile*/) {}

    virtual void unrarLibGlueDidSwitchToVolume(VLMUnrarLibGlue* /*glue*/,
                                               const QString& /*volumePath*/) {}

    // Asked while the extraction waits; an ExistingOutputAction.
    virtual int unrarLibGlueActionForExistingOutput(VLMUnrarLibGlue* /*glue*/,
                                                    const QUrl& /*existingOutput*/) {
        return ExistingOutputAction::KeepBoth;
    }

    // Asked while the extraction waits; fileName is empty when the archive's
    // headers are encrypted. No answer or an empty one stops the extraction.
    virtual std::optional<QString> unrarLibGluePasswordForFile(VLMUnrarLibGlue* /*glue*/,
                                                               const QString& /*fileName*/,
                                                               bool* /*applyToAll*/) {
        return std::nullopt;
    }
};
