#pragma once

#include "DesktopStandIns.h"
#include "EventLoopWait.h"
#include "RunCommand.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/AfterRunActions.h"
#include "document/MyDocument.h"
#include "par2/PAR2Document.h"
#include "unrar/UnrarNotifications.h"
#include "unrar/UnrarPasswordPrompt.h"
#include "unrar/UnrarProgressPresenter.h"

#include <QStringList>

// Receives the extractions' notifications instead of the desktop.
class RecordingNotifications : public UnrarNotifications {
public:
    RecordingNotifications() { install(this); }
    ~RecordingNotifications() override { install(nullptr); }
    void deliverNotification(const QString& title, const QString& body, const QString& actionTitle,
                             const QVariantMap& userInfo) override {
        notices.append({title, body, actionTitle, userInfo});
    }
    QStringList titles() const {
        QStringList result;
        for (const Notice& notice : notices)
            result.append(notice.title);
        return result;
    }

    struct Notice {
        QString title;
        QString body;
        QString actionTitle;
        QVariantMap userInfo;
    };
    QList<Notice> notices;
};

// Answers the password dialog from a script; null answers cancel.
class ScriptedPasswordPrompt : public UnrarPasswordPrompt {
public:
    explicit ScriptedPasswordPrompt(QList<std::optional<QString>> answers) : m_answers(answers) {
        install(this);
    }
    ~ScriptedPasswordPrompt() override { install(nullptr); }
    std::optional<QString> doItForFileName(const QString& fileName, const PasswordCheck&) override {
        asked.append(fileName);
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    }
    QStringList asked;

private:
    QList<std::optional<QString>> m_answers;
};

// Records what every progress view is told, in order, as "call:argument".
class RecordingProgressPresenter : public UnrarProgressPresenter {
public:
    RecordingProgressPresenter() { install(this); }
    ~RecordingProgressPresenter() override { install(nullptr); }
    std::unique_ptr<UnrarProgressView> makeView(UnrarProgressionController& controller,
                                                DocumentWindowInterface* window,
                                                const QString& archive) override;
    QStringList calls;
};

// A PAR 2 document whose after-run actions are AfterRunActions, the way
// MyDocument is to call them.
class AfterRunPar2Document : public PAR2Document {
public:
    AfterRunActions& afterRun() { return m_afterRun; }
    void startExclusiveProcessing() override;

protected:
    bool performAfterRunActions() override { return m_afterRun.performAfterRunActions(); }

private:
    AfterRunActions m_afterRun{*this};
};

// A set type whose helper (a shell script in the helpers folder) waits for a
// file "go<n>" and prints nothing; the run then ends with the given status and
// subject files, all intact.
class ScriptedRunDocument : public MyDocument {
public:
    ScriptedRunDocument(const QString& goFile, QStringList files, int32_t status)
        : MyDocument(QStringLiteral("waiter")), m_goFile(goFile), m_files(files), m_status(status) {
    }
    QStringList makeRepairParamArray(const QString&) override { return {m_goFile}; }
    QString getFilenameExtension() const override { return QStringLiteral("par2"); }
    OutputPipe mainOutputPipe() const override { return OutputPipe::StdOut; }
    AfterRunActions& afterRun() { return m_afterRun; }
    void startExclusiveProcessing() override;
    void close() override;

    int starts = 0;
    std::function<void()> onStart;
    bool readersAliveAtClose = false;

protected:
    void DetermineFinalStatusAfterRecover() override;
    bool performAfterRunActions() override { return m_afterRun.performAfterRunActions(); }

private:
    QString m_goFile;
    QStringList m_files;
    int32_t m_status;
    AfterRunActions m_afterRun{*this};
};

// A RAR 5 archive of the files in the folder src-<name> (made from the data),
// cut into volumes of the given size in the folder.
void makeRar5(const QString& folder, const QString& archive, const QMap<QString, QByteArray>& files,
              const QStringList& switches = {});
// Whether a document has ended its run and its extraction, readers gone.
bool isSettled(MyDocument& document);
