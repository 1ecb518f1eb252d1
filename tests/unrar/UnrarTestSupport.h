#pragma once

#include "TestFiles.h"
#include "unrar/VLMUnrarLibGlue.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Runs a tests/fixtures/make-rar-* script into a fresh folder and returns it.
QString makeFixtures(const QString& script, const QStringList& arguments = {});
// Every entry below the folder, relative, sorted; links shown as "name -> target".
QStringList treeOf(const QString& folder);

// A delegate that answers from a script and records every event in order.
class ScriptedGlueDelegate : public VLMUnrarLibGlueDelegate {
public:
    struct Progress {
        double fraction;
        qint64 byteCount;
        QString file;
    };

    void unrarLibGlueEnded(VLMUnrarLibGlue*, int outcome, const VLMError& err) override {
        events.append("ended");
        ++endCount;
        result = outcome;
        error = err;
    }
    void unrarLibGlueStartedUnrar(VLMUnrarLibGlue*) override { events.append("started"); }
    void unrarLibGlueProgress(VLMUnrarLibGlue* glue, double fraction, qint64 byteCount,
                              const QString& file) override {
        events.append("progress");
        progress.append({fraction, byteCount, file});
        if (onProgress)
            onProgress(glue);
    }
    void unrarLibGlueDidSwitchToVolume(VLMUnrarLibGlue*, const QString& path) override {
        events.append("volume");
        volumes.append(path);
    }
    int unrarLibGlueActionForExistingOutput(VLMUnrarLibGlue*, const QUrl& existing) override {
        events.append("existing");
        existingOutputQuestions.append(existing);
        return existingOutputAction;
    }
    std::optional<QString> unrarLibGluePasswordForFile(VLMUnrarLibGlue*, const QString& fileName,
                                                       bool*) override {
        events.append("password");
        passwordQuestions.append(fileName);
        return passwords.isEmpty() ? std::nullopt : passwords.takeFirst();
    }

    // Spins the event loop until the end event has arrived (false on timeout).
    bool waitForEnd(int timeoutMs = 60000);

    QList<std::optional<QString>> passwords;
    int existingOutputAction = ExistingOutputAction::KeepBoth;
    std::function<void(VLMUnrarLibGlue*)> onProgress;

    QStringList events;
    QList<Progress> progress;
    QStringList volumes;
    QStringList passwordQuestions;
    QList<QUrl> existingOutputQuestions;
    int endCount = 0;
    int result = -1;
    VLMError error;
};

// Spins the event loop until the run has handed back its reference to the glue,
// the last thing it sends to the main thread.
void waitUntilReleased(const std::shared_ptr<VLMUnrarLibGlue>& glue);

// Extracts the archive with a new glue and waits until the run is over.
std::shared_ptr<VLMUnrarLibGlue> extract(const QString& archive, const QString& outputDir,
                                         ScriptedGlueDelegate& delegate);
