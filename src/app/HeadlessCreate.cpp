#include "HeadlessCreate.h"

#include "app/PARDocumentController.h"
#include "document/MyDocument.h"
#include "platform/FileNames.h"
#include "platform/StringTables.h"

#include <QFileInfo>

std::shared_ptr<MyDocument> HeadlessCreate::start(PARDocumentController& controller,
                                                  DocumentWindowInterface* window,
                                                  std::shared_ptr<MyDocument> document,
                                                  const QString& name, const QString& number,
                                                  const QStringList& files, QString* error) {
    const auto refuse = [error](const QString& reason) {
        *error = reason;
        return std::shared_ptr<MyDocument>();
    };
    if (files.isEmpty())
        return refuse(QStringLiteral("no files to protect"));
    QStringList paths;
    for (const QString& file : files)
        paths.append(FileNames::absolutePath(file));
    paths.removeDuplicates();
    const QString folder = QFileInfo(paths.first()).path();
    for (const QString& path : paths) {
        const QString problem = whyNotAddable(*document, path, folder);
        if (!problem.isNull())
            return refuse(QStringLiteral("%1: %2").arg(path, problem));
    }
    const QString roomProblem = document->roomProblemForAdding(int(paths.size()));
    if (!roomProblem.isNull())
        return refuse(roomProblem);

    document->addFiles(paths);
    const std::optional<int32_t> chosen = MyDocument::savePanelNumber(
        number.isNull() ? QString::number(document->getDefaultNumberForSaveOptions()) : number);
    if (!chosen)
        return refuse(StringTables::localized(QStringLiteral("WrongNumPARErr")));
    const MyDocument::SaveLocation location = document->checkSaveLocation(name);
    if (location.path.isNull())
        return refuse(location.problem);
    if (location.replacesFile)
        return refuse(QStringLiteral("%1 exists already; remove it first").arg(location.path));
    // Nobody is there to be told that the set went elsewhere.
    if (location.folderCorrected)
        return refuse(QStringLiteral("%1: a new set is made in the folder of its files, %2")
                          .arg(name, folder));

    controller.addDocument(document);
    document->setParController(window);
    document->setm_NumSpecifiedInSaveOptions(*chosen);
    document->saveToLocation(location.path);
    return document;
}

// What the Add Files panel would not offer: anything but a regular file, a
// recovery file, or a file outside the folder of the first one.
QString HeadlessCreate::whyNotAddable(const MyDocument& document, const QString& path,
                                      const QString& folder) {
    const QFileInfo info(path);
    const FileNames::Kind kind = FileNames::kindAt(path);
    if (kind == FileNames::Kind::None)
        return QStringLiteral("no such file");
    if (kind != FileNames::Kind::RegularFile)
        return QStringLiteral("not a regular file");
    if (info.suffix().compare(document.getFilenameExtension(), Qt::CaseInsensitive) == 0)
        return QStringLiteral("a recovery file cannot be protected by a new set");
    if (info.path() != folder)
        return QStringLiteral("not in %1; the files of a set share one folder").arg(folder);
    return QString();
}
