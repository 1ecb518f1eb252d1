#include "HeadlessRun.h"

#include "app/DocumentJson.h"
#include "app/DocumentTypes.h"
#include "app/HeadlessCreate.h"
#include "document/MyDocument.h"
#include "par1/PAR1Document.h"
#include "par2/PAR2Document.h"
#include "unrar/UnrarDocument.h"
#include "unrar/VLMUnrarLibGlueDelegate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>

namespace {

void printTo(FILE* stream, const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

} // namespace

HeadlessRun::HeadlessRun(PARDocumentController& controller, bool json)
    : m_controller(controller), m_json(json) {
    m_poll.setInterval(50);
    connect(&m_poll, &QTimer::timeout, this, [this] { checkForFinishedDocuments(); });
    UnrarNotifications::install(this);
}

HeadlessRun::~HeadlessRun() {
    UnrarNotifications::install(nullptr);
}

void HeadlessRun::deliverNotification(const QString& title, const QString& body, const QString&,
                                      const QVariantMap&) {
    printTo(stderr, QStringLiteral("Notification: %1: %2").arg(title, body));
}

void HeadlessRun::watch(const std::shared_ptr<MyDocument>& document) {
    document->setParController(this);
    if (!m_pending.contains(document))
        m_pending.append(document);
}

bool HeadlessRun::create(const QString& name, const QString& number, const QStringList& files) {
    QString error;
    std::shared_ptr<MyDocument> document;
    const QString type = DocumentTypes::typeForPath(name);
    if (type == DocumentTypes::Par2)
        document = std::make_shared<PAR2Document>();
    else if (type == DocumentTypes::Par1)
        document = std::make_shared<PAR1Document>();
    if (document) {
        document->setFileType(type);
        document = HeadlessCreate::start(m_controller, this, document, name, number, files, &error);
    } else {
        error = QStringLiteral("%1: the new set must be named NAME.par2 or NAME.par").arg(name);
    }
    if (!document) {
        printTo(stderr, QStringLiteral("velmora: ") + error);
        return false;
    }
    watch(document);
    m_poll.start();
    return true;
}

bool HeadlessRun::open(const QStringList& paths) {
    m_controller.setDisplayHandler(
        [this](const std::shared_ptr<MyDocument>& document) { watch(document); });
    QStringList opened;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable()) {
            printTo(stderr, QStringLiteral("velmora: cannot read %1").arg(path));
            return false;
        }
        // The same set named twice runs once.
        if (opened.contains(info.canonicalFilePath()))
            continue;
        opened.append(info.canonicalFilePath());
        VLMError error;
        const std::shared_ptr<Document> document =
            m_controller.openDocumentWithContentsOfURL(info.absoluteFilePath(), true, &error);
        if (!document) {
            printTo(stderr,
                    QStringLiteral("velmora: %1: %2").arg(path, error.localizedDescription()));
            return false;
        }
        if (auto archive = std::dynamic_pointer_cast<UnrarDocument>(document))
            m_archives.append(archive);
    }
    for (const auto& document : m_pending)
        document->windowControllerDidLoadNib();
    m_poll.start();
    return true;
}

void HeadlessRun::StatusChanged(MyDocument* document, int32_t newStatus) {
    const QString text = DocumentJson::statusText(*document, newStatus);
    if (!text.isEmpty())
        printTo(stderr, QFileInfo(document->fileName()).fileName() + QStringLiteral(": ") + text);
}

// A document is done when its run has ended and both readers are gone, or when
// it never got to run.
bool HeadlessRun::isFinished(MyDocument& document) {
    if (document.isWaitingForExclusiveProcessing() || document.anyProcessRunning() ||
        document.hasLiveReaders())
        return false;
    return document.m_PARHasRepaired() || document.isClosed() ||
           document.m_DocumentStatus() != DocStatus::WaitingForTurn;
}

void HeadlessRun::checkForFinishedDocuments() {
    for (qsizetype i = 0; i < m_pending.size();) {
        if (isFinished(*m_pending[i])) {
            report(*m_pending[i]);
            m_pending[i]->setParController(nullptr);
            m_pending.removeAt(i);
        } else {
            ++i;
        }
    }
    for (qsizetype i = 0; i < m_archives.size();) {
        if (m_archives[i]->isClosed())
            reportArchive(*m_archives.takeAt(i));
        else
            ++i;
    }
    if (m_pending.isEmpty() && m_archives.isEmpty()) {
        m_poll.stop();
        QCoreApplication::exit(m_exitStatus);
    }
}

void HeadlessRun::report(MyDocument& document) {
    if (!DocStatus::isSuccessfulOutcome(document.m_DocumentStatus()) &&
        document.m_DocumentStatus() != DocStatus::Created)
        m_exitStatus = 1;
    if (m_json)
        printTo(
            stdout,
            QString::fromUtf8(
                QJsonDocument(DocumentJson::describe(document)).toJson(QJsonDocument::Compact)));
}

// An archive document closes itself when its extraction is over.
void HeadlessRun::reportArchive(const UnrarDocument& archive) {
    const UnrarResult result = archive.extractionResult();
    const QString name = QFileInfo(archive.fileName()).fileName();
    if (result.outcome == UnrarOutcome::Finished) {
        printTo(stderr, QStringLiteral("%1: extracted to %2").arg(name, result.outputPath));
    } else {
        m_exitStatus = 1;
        printTo(stderr, QStringLiteral("%1: not extracted").arg(name) +
                            (result.errorText.isEmpty() ? QString()
                                                        : QStringLiteral(": ") + result.errorText));
    }
    if (m_json)
        printTo(stdout, QString::fromUtf8(QJsonDocument(DocumentJson::describeArchive(archive))
                                              .toJson(QJsonDocument::Compact)));
}
