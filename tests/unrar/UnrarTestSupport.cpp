#include "UnrarTestSupport.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

QString makeFixtures(const QString& script, const QStringList& arguments) {
    static int counter = 0;
    const QString folder = TestEnvironment::makeFolder(script + QString::number(++counter));
    // posix_spawn rather than QProcess, whose clone()-based start ThreadSanitizer
    // cannot follow.
    QList<QByteArray> words{
        QFile::encodeName(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/") + script),
        QFile::encodeName(folder)};
    for (const QString& argument : arguments)
        words.append(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = -1;
    EXPECT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << script.toStdString();
    return folder;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
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
