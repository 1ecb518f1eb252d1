#pragma once

#include "app/PARDocumentController.h"
#include "document/DocumentWindowInterface.h"
#include "unrar/UnrarNotifications.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

class MyDocument;
class UnrarDocument;

// velmora --headless [--json] FILE...: opens every file as the application
// would (a RAR archive is extracted), answers every question as unattended operation does (for this
// process only), runs them through the same documents and scheduler and quits when all are done.
// Progress goes to standard error, one JSON line per document to standard output. Exit status: 0
// all succeeded, 1 some did not, 2 usage or unreadable file.
//
// Notifications go to standard error: nobody is at the desktop, which may not
// even have a session bus.
class HeadlessRun : public QObject, public DocumentWindowInterface, public UnrarNotifications {
public:
    HeadlessRun(PARDocumentController& controller, bool json);
    ~HeadlessRun() override;

    // Returns false (exit status 2) when a file cannot be opened.
    bool open(const QStringList& paths);
    // --create NAME [--redundancy PERCENT | --volumes N] FILE...: a new set of
    // the kind NAME's extension names. Returns false (exit status 2) when a file,
    // the name or the number is refused.
    bool create(const QString& name, const QString& number, const QStringList& files);
    int exitStatus() const { return m_exitStatus; }

    // The outcome is read from the document once the run ends.
    bool showsFiles() const override { return false; }
    void FileStatusChanged(MyDocument*, const DocumentFileChanges&, const QString&) override {}
    void StatusChanged(MyDocument* document, int32_t newStatus) override;
    void ProgressionChanged(MyDocument*, int32_t) override {}
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

private:
    void watch(const std::shared_ptr<MyDocument>& document);
    void checkForFinishedDocuments();
    bool isFinished(MyDocument& document);
    void report(MyDocument& document);
    void reportArchive(const UnrarDocument& archive);

    PARDocumentController& m_controller;
    bool m_json;
    QList<std::shared_ptr<MyDocument>> m_pending;
    QList<std::shared_ptr<UnrarDocument>> m_archives;
    QTimer m_poll;
    int m_exitStatus = 0;
};
