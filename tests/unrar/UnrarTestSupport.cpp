#include "UnrarTestSupport.h"

#include "RunCommand.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <gtest/gtest.h>

QString makeFixtures(const QString& script, const QStringList& arguments) {
    static int counter = 0;
    const QString folder = TestEnvironment::makeFolder(script + QString::number(++counter));
    const int status =
        runCommand(folder, QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/") + script,
                   QStringList{folder} + arguments);
    EXPECT_EQ(status, 0) << script.toStdString();
    return folder;
}

QStringList treeOf(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QString entry = QDir(folder).relativeFilePath(it.filePath());
        if (it.fileInfo().isSymLink())
            entry += QStringLiteral(" -> ") + it.fileInfo().symLinkTarget();
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

bool ScriptedGlueDelegate::waitForEnd(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (endCount == 0 && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    // Anything still queued would arrive after the end event and be caught.
    QCoreApplication::processEvents();
    return endCount > 0;
}

void waitUntilReleased(const std::shared_ptr<VLMUnrarLibGlue>& glue) {
    QElapsedTimer timer;
    timer.start();
    while (glue.use_count() > 1 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(glue.use_count(), 1);
}

std::shared_ptr<VLMUnrarLibGlue> extract(const QString& archive, const QString& outputDir,
                                         ScriptedGlueDelegate& delegate) {
    auto glue = VLMUnrarLibGlue::initWithRarFile(
        QUrl::fromLocalFile(archive),
        outputDir.isEmpty() ? QUrl() : QUrl::fromLocalFile(outputDir));
    glue->setDelegate(&delegate);
    glue->startUnrar();
    EXPECT_TRUE(delegate.waitForEnd());
    waitUntilReleased(glue);
    return glue;
}
