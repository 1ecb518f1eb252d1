#include "SampleSets.h"

#include "../par2/Par2TestSupport.h"
#include "EventLoopWait.h"
#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "window/ParWindowController.h"

namespace SampleSets {

QString makeDamagedSet(const QString& folder) {
    const QStringList names = {"chapter1.txt", "chapter2.txt", "chapter10.txt",
                               "cover.jpg",    "notes.md",     "photo.raw"};
    for (quint32 seed = 0; seed < quint32(names.size()); ++seed)
        writeFile(folder + QLatin1Char('/') + names[seed],
                  randomBytes(40000 + 5000 * int(seed), seed + 1));
    if (runPar2In(folder, QStringList{"c", "-q", "-q", "-b60", "-r30", "--", "set.par2"} + names) !=
        0)
        return QString();
    damageFile(folder + QStringLiteral("/chapter2.txt"), 20000);
    QFile::remove(folder + QStringLiteral("/photo.raw"));
    return folder + QStringLiteral("/set.par2");
}

QString makeSetWithLatin1Name(const QString& folder) {
    const QString path = folder + QStringLiteral("/names.par2");
    writeFile(path, fileDescriptionPacket(QByteArray("caf\xE9 cr\xE8me.txt")));
    return path;
}

ParWindowController* openInWindow(PARDocumentController& documents, const QString& mainFile) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    auto document = std::make_shared<PAR2Document>();
    VLMError error;
    if (!document->initWithContentsOfURL(mainFile, QStringLiteral("PAR2 File"), &error))
        return nullptr;
    documents.addDocument(document);
    auto* window = new ParWindowController(document);
    window->showWindow();
    return window;
}

bool waitForRunEnd(ParWindowController& window, int timeoutMs) {
    MyDocument& document = *window.document();
    return spinUntil(
        [&] {
            return document.m_PARHasRepaired() && document.m_PARIsRunning() == RunKind::None &&
                   !document.hasLiveReaders();
        },
        timeoutMs);
}

} // namespace SampleSets
