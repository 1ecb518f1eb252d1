#pragma once

#include "app/HeadlessEvents.h"
#include "app/PARDocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "unrar/UnrarNotifications.h"
#include "unrar/UnrarProgressPresenter.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

class MyDocument;
class UnrarDocument;

// velmora --headless [--json] [--events] FILE|FOLDER...: opens every file as the
// application would (a RAR archive is extracted), and every recovery set found in a folder,
// answers every question as unattended operation does (for this process only), runs them through
// the same documents and scheduler and quits when all are done. Progress goes to standard error,
// one JSON line per document to standard output (docs/json.md), with --events preceded by event
// lines, and after a folder a summary line. Exit status: 0 all succeeded, 1 some did not, 2 usage
// or unreadable file.
//
// Notifications go to standard error: nobody is at the desktop, which may not
// even have a session bus.
class HeadlessRun : public QObject,
                    public DocumentWindowInterface,
                    public UnrarNotifications,
                    public UnrarProgressPresenter {
public:
    struct Options {
        bool json = false;
        bool events = false;
        // Folders are searched in their subfolders too.
        bool recursive = false;
    };

    HeadlessRun(PARDocumentController& controller, Options options);
    ~HeadlessRun() override;

    // Returns false (exit status 2) when a file cannot be opened or a folder
    // holds no set.
    bool open(const QStringList& paths);
    // --create NAME [--redundancy PERCENT | --volumes N] FILE...: a new set of
    // the kind NAME's extension names. Returns false (exit status 2) when a file,
    // the name or the number is refused.
    bool create(const QString& name, const QString& number, const QStringList& files);
    int exitStatus() const { return m_exitStatus; }

    // Records are wanted only for the events; without them the outcome is read
    // from the document once the run ends.
    bool showsFiles() const override { return m_options.events; }
    void FileStatusChanged(MyDocument* document, const DocumentFileChanges& changes,
                           const QString&) override;
    void StatusChanged(MyDocument* document, int32_t newStatus) override;
    void ProgressionChanged(MyDocument* document, int32_t percent) override;
    void ParOutputChanged(MyDocument*, const QString&) override {}
    void ParOutputAppended(MyDocument*, const QString&) override {}
    void RefreshUI() override {}
    QStringList SelectedFiles() const override { return {}; }
    int NumSelectedFiles() const override { return 0; }
    void NoSelection() override {}
    void setCloseButtonEnabled(bool) override {}
    void showWindows() override {}
    void documentDidClose() override {}

    void deliverNotification(const QString& title, const QString& body, const QString&,
                             const QVariantMap&) override;

    std::unique_ptr<UnrarProgressView> makeView(UnrarProgressionController& controller,
                                                DocumentWindowInterface* docWindow,
                                                const QString& archivePath) override;

private:
    // How the sets of a run with a folder ended, for the summary line: every set
    // of the run counts, those named on their own too.
    struct Summary {
        int found, intact, repaired, notRepairable, failed;
        void count(int32_t status);
        QJsonObject toJson() const;
    };

    QStringList expandFolders(const QStringList& paths, bool* ok);
    bool openFile(const QString& path);
    void watch(const std::shared_ptr<MyDocument>& document);
    QString documentPathForArchive(const QString& archivePath) const;
    void printJson(const QJsonObject& object);
    void printSummary();
    void checkForFinishedDocuments();
    bool isFinished(MyDocument& document);
    void report(MyDocument& document);
    void reportArchive(const UnrarDocument& archive);

    PARDocumentController& m_controller;
    Options m_options;
    std::optional<HeadlessEvents> m_events;
    std::optional<Summary> m_summary;
    QList<std::shared_ptr<MyDocument>> m_pending;
    QList<std::shared_ptr<UnrarDocument>> m_archives;
    QTimer m_poll;
    int m_exitStatus = 0;
};
