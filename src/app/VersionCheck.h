#pragma once

#include "app/ReleaseAddresses.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>

class VersionList;

// Finds out whether a newer version exists by fetching the version list. The
// request runs asynchronously (the window stays responsive) and is given up
// after four seconds; the alerts come when it ends. Without a version-list
// address nothing is ever sent. Main thread only.
class VersionCheck : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Unavailable, UpToDate, NewerVersion, Failed };
    Q_ENUM(Outcome)

    static constexpr int kTimeoutMs = 4000;

    explicit VersionCheck(const ReleaseAddresses& addresses, QObject* parent = nullptr);
    ~VersionCheck() override;

    bool isAvailable() const;
    bool isRunning() const { return m_reply != nullptr; }

    // At launch: the first launch asks whether to check automatically (and
    // checks nothing); later launches run the silent check when the user agreed.
    void checkAtLaunch();
    // The menu command: reports every outcome.
    void PerformCheckUpdate();
    // With reportUpToDate NO (the launch check) only a newer version is shown. A
    // request while a check runs joins it.
    void DoCheckUpdateAndReportUpToDate(bool reportUpToDate);

signals:
    // After the alerts of a check have been answered.
    void finished(VersionCheck::Outcome outcome);

private:
    void replyFinished();
    Outcome report(const QByteArray& data);
    void reportNewerVersion(const VersionList& list);
    void reportFailure();

    ReleaseAddresses m_addresses;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    bool m_reportUpToDate = false;
};
