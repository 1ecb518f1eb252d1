#pragma once

#include "unrar/UnrarResult.h"
#include "unrar/VLMUnrarLibGlueDelegate.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <optional>

class DocumentWindowInterface;
class UnrarProgressView;
class VLMUnrarLibGlue;
class VLMUnrarProgressionControllerDelegate;

// The user's side of one extraction: it waits for the scheduler's turn, runs a
// VLMUnrarLibGlue, shows the progress in a view (when a presenter is installed),
// answers the glue's questions (password, existing output) by asking the user or,
// in unattended operation, by itself, and reports the outcome with an alert or a
// notification. After a successful extraction it removes the archive's volumes
// as "DeleteSegOption" says.
//
// Passwords given ahead of time (UnrarPasswordList) are tried first: before the
// glue starts, a RarPasswordProbe picks the one that opens the archive, on a
// thread of its own.
//
// Made shared (create); its delegate, the document, keeps it until
// unrarProgressionControllerDidEnd. Main thread only.
class UnrarProgressionController : public VLMUnrarLibGlueDelegate,
                                   public std::enable_shared_from_this<UnrarProgressionController> {
public:
    static std::shared_ptr<UnrarProgressionController> create();
    ~UnrarProgressionController() override;
    UnrarProgressionController(const UnrarProgressionController&) = delete;
    UnrarProgressionController& operator=(const UnrarProgressionController&) = delete;

    VLMUnrarProgressionControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(VLMUnrarProgressionControllerDelegate* delegate) { m_delegate = delegate; }

    // For a PAR document: the view is a sheet on its window (when it has one).
    // A null outputDir means the archive's own folder.
    void setupForParDocument(DocumentWindowInterface* docWindow, const QString& archivePath,
                             const QString& outputDir);
    // For an UnrarDocument: the view is a window of its own.
    void setupForUnrarDocument(const QString& archivePath, const QString& outputDir);

    // The scheduler's turn: the extraction starts.
    void startExclusiveProcessing();
    // Stops a running extraction; one still waiting for its turn ends at once.
    void onCancelButton();

    QString archivePath() const { return m_archivePath; }
    QString outputDirPath() const { return m_outputDirPath; }
    bool runAsSheet() const { return m_runAsSheet; }
    UnrarResult result() const { return m_result; }

    // "1023 KB", "1 MB", "1.50 GB": whole kibibytes up to 1 MiB - 1, rounded
    // mebibytes up to 1 GiB - 1, then gibibytes with two decimals, in the user's
    // number format.
    static QString sizeText(qint64 byteCount);

    void unrarLibGlueEnded(VLMUnrarLibGlue* glue, int result, const VLMError& error) override;
    void unrarLibGlueStartedUnrar(VLMUnrarLibGlue* glue) override;
    void unrarLibGlueProgress(VLMUnrarLibGlue* glue, double progress, qint64 byteCount,
                              const QString& currentFile) override;
    int unrarLibGlueActionForExistingOutput(VLMUnrarLibGlue* glue,
                                            const QUrl& existingOutput) override;
    std::optional<QString> unrarLibGluePasswordForFile(VLMUnrarLibGlue* glue,
                                                       const QString& fileName,
                                                       bool* applyToAll) override;

private:
    UnrarProgressionController() = default;

    QString amountText(double progress, qint64 byteCount) const;
    void createUI(DocumentWindowInterface* docWindow, const QString& archivePath);
    void probePasswordsThenStart(const QStringList& candidates);
    void startGlue();
    void endWithOutcome(int outcome, const VLMError& error);
    void finishSuccessfulUnrar();
    void finishFailedUnrar(const VLMError& error);
    void deleteSegments();
    void postNotification(const char* titleKey, const QString& informativeText,
                          const QString& resultPath = QString());
    void notifyUserAutomaticCancel(const QUrl& existingOutput);
    int askUserForOutputExistsAction(const QUrl& existingOutput);
    QString archiveFileName() const;
    std::optional<QString> askUserForPassword(const QString& shownName);
    bool archiveMayAccept(const QString& password) const;

    VLMUnrarProgressionControllerDelegate* m_delegate = nullptr;
    std::unique_ptr<UnrarProgressView> m_view;
    std::shared_ptr<VLMUnrarLibGlue> m_glue;
    QString m_archivePath;
    QString m_outputDirPath;
    bool m_runAsSheet = false;
    bool m_started = false;
    bool m_ended = false;
    std::optional<QString> m_knownPassword;
    bool m_passwordDeclined = false;
    bool m_givenPasswordsRefused = false;
    UnrarResult m_result;
    // Since the extraction proper began, for the time left.
    QElapsedTimer m_progressClock;
};
