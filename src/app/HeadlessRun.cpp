#include "HeadlessRun.h"

#include "app/DocumentJson.h"
#include "app/HeadlessCreate.h"
#include "app/RecoverySetFinder.h"
#include "document/DocumentTypes.h"
#include "document/MyDocument.h"
#include "par1/PAR1Document.h"
#include "par2/PAR2Document.h"
#include "postprocess/PostProcessingJson.h"
#include "unrar/UnrarDocument.h"
#include "unrar/UnrarProgressView.h"
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

// An extraction's progress as event lines.
class ExtractionEventView : public UnrarProgressView {
public:
    ExtractionEventView(HeadlessEvents& events, QString path, QString archive)
        : m_events(events), m_path(std::move(path)), m_archive(std::move(archive)) {}

    void setStatusText(const QString&) override {}
    void setCurrentFileText(const QString& text) override { m_currentFile = text; }
    void setIndeterminate() override {}
    void setProgress(double fraction) override {
        m_events.extractionProgress(m_path, m_archive, fraction, m_currentFile);
    }
    void runEnded() override {}
    void close() override {}

private:
    HeadlessEvents& m_events;
    const QString m_path, m_archive;
    QString m_currentFile;
};

} // namespace

HeadlessRun::HeadlessRun(PARDocumentController& controller, Options options)
    : m_controller(controller), m_options(options) {
    // A finished document is seen within 10 ms; a check walks only the open documents.
    m_poll.setInterval(10);
    connect(&m_poll, &QTimer::timeout, this, [this] { checkForFinishedDocuments(); });
    UnrarNotifications::install(this);
    if (m_options.events) {
        m_events.emplace([this](const QJsonObject& event) { printJson(event); });
        UnrarProgressPresenter::install(this);
    }
}

HeadlessRun::~HeadlessRun() {
    UnrarNotifications::install(nullptr);
    if (m_events)
        UnrarProgressPresenter::install(nullptr);
}

void HeadlessRun::printJson(const QJsonObject& object) {
    printTo(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

std::unique_ptr<UnrarProgressView> HeadlessRun::makeView(UnrarProgressionController&,
                                                         DocumentWindowInterface*,
                                                         const QString& archivePath) {
    return std::make_unique<ExtractionEventView>(*m_events, documentPathForArchive(archivePath),
                                                 archivePath);
}

// An archive opened on its own is its own document; one extracted after a repair
// belongs to the set in its folder whose run has ended.
QString HeadlessRun::documentPathForArchive(const QString& archivePath) const {
    const QString folder = QFileInfo(archivePath).absolutePath();
    for (const auto& document : m_pending)
        if (document->m_PARHasRepaired() &&
            QFileInfo(document->fileName()).absolutePath() == folder)
            return document->fileName();
    return archivePath;
}

void HeadlessRun::deliverNotification(const QString& title, const QString& body, const QString&,
                                      const QVariantMap&) {
    printTo(stderr, QStringLiteral("Notification: %1: %2").arg(title, body));
}

void HeadlessRun::watch(const std::shared_ptr<MyDocument>& document) {
    document->setParController(this);
    if (m_pending.contains(document))
        return;
    m_pending.append(document);
    if (m_summary)
        ++m_summary->found;
    if (m_events)
        m_events->queued(document->fileName(), document->fileType());
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
    bool ok = true;
    const QStringList files = expandFolders(paths, &ok);
    if (!ok)
        return false;
    QStringList opened;
    for (const QString& path : files) {
        // The same set named twice runs once.
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty() && opened.contains(canonical))
            continue;
        opened.append(canonical);
        if (!openFile(path))
            return false;
    }
    for (const auto& document : m_pending)
        document->windowControllerDidLoadNib();
    m_poll.start();
    return true;
}

// Each folder stands for the sets found in it; a folder without one is refused,
// as a file that cannot be opened is.
QStringList HeadlessRun::expandFolders(const QStringList& paths, bool* ok) {
    QStringList files;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        const QStringList sets = RecoverySetFinder::findSets(path, m_options.recursive);
        if (sets.isEmpty()) {
            printTo(stderr, QStringLiteral("velmora: %1: no recovery set found").arg(path));
            *ok = false;
        }
        if (!m_summary)
            m_summary = Summary{};
        files += sets;
    }
    return files;
}

bool HeadlessRun::openFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        printTo(stderr, QStringLiteral("velmora: cannot read %1").arg(path));
        return false;
    }
    VLMError error;
    const std::shared_ptr<Document> document =
        m_controller.openDocumentWithContentsOfURL(info.absoluteFilePath(), true, &error);
    if (!document) {
        printTo(stderr, QStringLiteral("velmora: %1: %2").arg(path, error.localizedDescription()));
        return false;
    }
    if (auto archive = std::dynamic_pointer_cast<UnrarDocument>(document)) {
        m_archives.append(archive);
        if (m_events)
            m_events->queued(archive->fileName(), archive->fileType());
    }
    return true;
}

void HeadlessRun::FileStatusChanged(MyDocument* document, const DocumentFileChanges& changes,
                                    const QString&) {
    if (m_events)
        m_events->filesChanged(document->fileName(), changes.files.changed);
}

void HeadlessRun::ProgressionChanged(MyDocument* document, int32_t percent) {
    if (m_events)
        m_events->progress(document->fileName(), percent);
}

void HeadlessRun::StatusChanged(MyDocument* document, int32_t newStatus) {
    const QString text = DocumentJson::statusText(*document, newStatus);
    if (m_events)
        m_events->statusChanged(document->fileName(), newStatus, text);
    if (!text.isEmpty())
        printTo(stderr, QFileInfo(document->fileName()).fileName() + QStringLiteral(": ") + text);
}

// A document is done when its run has ended and both readers are gone, or when
// it never got to run.
bool HeadlessRun::isFinished(MyDocument& document) {
    if (document.isPreparingRun() || document.isWaitingForExclusiveProcessing() ||
        document.isProcessing() || document.anyProcessRunning() || document.hasLiveReaders())
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
        printSummary();
        QCoreApplication::exit(m_exitStatus);
    }
}

void HeadlessRun::report(MyDocument& document) {
    const int32_t status = document.m_DocumentStatus();
    if (!DocStatus::isSuccessfulOutcome(status) && status != DocStatus::Created)
        m_exitStatus = 1;
    if (m_summary)
        m_summary->count(status);
    if (m_events)
        m_events->finished(document.fileName(),
                           {{"status", status}, {"statusName", DocumentJson::statusName(status)}});
    if (m_options.json)
        printJson(DocumentJson::describe(document));
}

void HeadlessRun::Summary::count(int32_t status) {
    if (status == DocStatus::Repaired || status == DocStatus::RepairedWrongNames)
        ++repaired;
    else if (DocStatus::isSuccessfulOutcome(status))
        ++intact;
    else if (status == DocStatus::RepairImpossible)
        ++notRepairable;
    else
        ++failed;
}

QJsonObject HeadlessRun::Summary::toJson() const {
    return QJsonObject{{"setsFound", found},
                       {"intact", intact},
                       {"repaired", repaired},
                       {"notRepairable", notRepairable},
                       {"failed", failed}};
}

// After a folder run: how its sets ended, as text and (with --json) one line.
void HeadlessRun::printSummary() {
    if (!m_summary)
        return;
    printTo(stderr, QStringLiteral("%1 sets found: %2 intact, %3 repaired, %4 not repairable, "
                                   "%5 failed")
                        .arg(m_summary->found)
                        .arg(m_summary->intact)
                        .arg(m_summary->repaired)
                        .arg(m_summary->notRepairable)
                        .arg(m_summary->failed));
    if (m_options.json)
        printJson(QJsonObject{{"schema", DocumentJson::kSchema}, {"summary", m_summary->toJson()}});
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
    if (m_events)
        m_events->finished(archive.fileName(),
                           {{"extraction", PostProcessingJson::describeExtraction(result)}});
    if (m_options.json)
        printJson(DocumentJson::describeArchive(archive));
}
