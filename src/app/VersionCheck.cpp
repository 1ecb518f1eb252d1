#include "VersionCheck.h"

#include "app/VersionList.h"
#include "document/UnattendedSupport.h"
#include "platform/AppInfo.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Workspace.h"

#include <QDebug>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

VersionCheck::VersionCheck(const ReleaseAddresses& addresses, QObject* parent)
    : QObject(parent), m_addresses(addresses) {
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    m_deadline.setInterval(kTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();
    });
}

// A request still under way must not finish into a half-destroyed check.
VersionCheck::~VersionCheck() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

bool VersionCheck::isAvailable() const {
    return !m_addresses.versionListURL.isEmpty();
}

void VersionCheck::checkAtLaunch() {
    if (!isAvailable())
        return;
    if (Preferences::contains(PrefKey::AutoCheckUpdate)) {
        if (Preferences::boolForKey(PrefKey::AutoCheckUpdate))
            DoCheckUpdateAndReportUpToDate(false);
        return;
    }
    const int answer = VLMLRunAlertPanel(text("AutoCheckQuestionTitle"), text("AutoCheckQuestion"),
                                         text("YesButton"), text("NoButton"), QString());
    Preferences::setBool(PrefKey::AutoCheckUpdate, answer == kAlertDefaultReturn);
}

void VersionCheck::PerformCheckUpdate() {
    DoCheckUpdateAndReportUpToDate(true);
}

void VersionCheck::DoCheckUpdateAndReportUpToDate(bool reportUpToDate) {
    if (!isAvailable()) {
        if (reportUpToDate)
            VLMLRunInformationalAlertPanel(text("VersionCheckUnavailableTitle"),
                                           text("VersionCheckUnavailable"), QString(), QString(),
                                           QString());
        emit finished(Outcome::Unavailable);
        return;
    }
    m_reportUpToDate = m_reportUpToDate || reportUpToDate;
    if (isRunning())
        return;
    const QUrl address(m_addresses.versionListURL);
    if (!isWebAddress(address)) {
        reportFailure();
        return;
    }
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::finished, this, &VersionCheck::replyFinished);
    // An answer too large for a version list is not read to its end.
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > VersionList::kMaximumSize && m_reply)
            m_reply->abort();
    });
    m_deadline.start();
}

void VersionCheck::replyFinished() {
    m_deadline.stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const bool received = reply->error() == QNetworkReply::NoError;
    if (!received)
        qInfo().noquote() << "Info: version check failed:" << reply->errorString();
    const Outcome outcome = received ? report(reply->readAll()) : Outcome::Failed;
    if (outcome == Outcome::Failed)
        reportFailure();
    else
        emit finished(outcome);
}

VersionCheck::Outcome VersionCheck::report(const QByteArray& data) {
    const std::optional<VersionList> list = VersionList::parse(data);
    if (!list)
        return Outcome::Failed;
    const bool reportUpToDate = m_reportUpToDate;
    m_reportUpToDate = false;
    if (list->isNewerThan(AppInfo::shortVersion())) {
        reportNewerVersion(*list);
        return Outcome::NewerVersion;
    }
    if (reportUpToDate)
        VLMLRunAlertPanel(text("SoftwareIsUpToDate"), text("YouHaveMostRecent"), QString(),
                          QString(), QString());
    return Outcome::UpToDate;
}

void VersionCheck::reportNewerVersion(const VersionList& list) {
    const QString message = list.prompt().isEmpty()
                                ? formatString(text("CanDownloadNew"), list.newestVersion())
                                : list.prompt();
    // The message goes in as an argument, so a "%" in the server's text stays as it is.
    const int answer = VLMLRunAlertPanel(text("NewVersionAvailable"), QStringLiteral("%@"),
                                         text("DownloadNewVersionNow"),
                                         text("DownloadNewVersionLater"), QString(), message);
    if (answer != kAlertDefaultReturn || m_addresses.downloadURL.isEmpty())
        return;
    if (Workspace* workspace = Workspace::current())
        workspace->openURL(m_addresses.downloadURL);
}

// Only the menu command reports a failure, and it does so even in unattended
// operation: the user has just asked.
void VersionCheck::reportFailure() {
    const bool reportUpToDate = m_reportUpToDate;
    m_reportUpToDate = false;
    if (reportUpToDate) {
        const QString message = text("CannotCheckVersionErr");
        if (AlertPresenter* presenter = AlertPresenter::current())
            presenter->runModal({AlertSeverity::Critical, QString(), message, {}, {}, {}});
        else
            qWarning().noquote() << "Error: " + message;
    }
    emit finished(Outcome::Failed);
}
