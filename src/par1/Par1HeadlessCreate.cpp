#include "Par1HeadlessCreate.h"

#include "app/DocumentTypes.h"
#include "app/PARDocumentController.h"
#include "app/UnattendedSupport.h"
#include "par1/PAR1Document.h"
#include "par1/Par1CommandLine.h"
#include "platform/StringTables.h"

#include <QDir>
#include <QFileInfo>

std::shared_ptr<PAR1Document> Par1HeadlessCreate::start(PARDocumentController& controller,
                                                        DocumentWindowInterface* window,
                                                        const QString& name, const QString& volumes,
                                                        const QStringList& files, QString* error) {
    const auto refuse = [error](const QString& reason) {
        *error = reason;
        return std::shared_ptr<PAR1Document>();
    };
    if (files.isEmpty())
        return refuse(QStringLiteral("no files to protect"));
    QStringList paths;
    for (const QString& file : files)
        paths.append(QDir::cleanPath(QFileInfo(file).absoluteFilePath()));
    paths.removeDuplicates();
    const QString folder = QFileInfo(paths.first()).path();
    for (const QString& path : paths) {
        const QString problem = whyNotAddable(path, folder);
        if (!problem.isNull())
            return refuse(QStringLiteral("%1: %2").arg(path, problem));
    }
    const QString roomProblem = PAR1Document::roomProblem(0, int(paths.size()));
    if (!roomProblem.isNull())
        return refuse(roomProblem);

    auto document = std::make_shared<PAR1Document>();
    document->setFileType(DocumentTypes::Par1);
    document->addFiles(paths);
    const QString number =
        volumes.isNull() ? QString::number(document->CalcDefaultNumberPnn()) : volumes;
    const std::optional<int32_t> count = MyDocument::savePanelNumber(number);
    if (!count)
        return refuse(StringTables::localized(QStringLiteral("WrongNumPARErr")));
    const MyDocument::SaveLocation location = document->checkSaveLocation(name);
    if (location.path.isNull())
        return refuse(location.problem);
    if (location.replacesFile)
        return refuse(QStringLiteral("%1 exists already; remove it first").arg(location.path));

    controller.addDocument(document);
    document->setParController(window);
    document->setm_NumSpecifiedInSaveOptions(*count);
    if (location.folderCorrected)
        VLMLRunAlertPanel(QString(),
                          StringTables::localized(QStringLiteral("PathCorrectedWarning")),
                          QString(), QString(), QString(), folder);
    document->saveToLocation(location.path);
    return document;
}

// What the Add Files panel would not offer: anything but a regular file, a
// PAR 1 main file, or a file outside the folder of the first one.
QString Par1HeadlessCreate::whyNotAddable(const QString& path, const QString& folder) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QStringLiteral("no such file");
    if (info.isSymLink() || !info.isFile())
        return QStringLiteral("not a regular file");
    if (info.suffix().compare(Par1CommandLine::kExtension, Qt::CaseInsensitive) == 0)
        return QStringLiteral("a recovery file cannot be protected by a new set");
    if (info.path() != folder)
        return QStringLiteral("not in %1; the files of a set share one folder").arg(folder);
    return QString();
}
