// Extracts a 1 GiB multi-volume archive of mixed data with VLMUnrarLibGlue and
// with the unrar command, alternately, three times each, into fresh folders.
// Every progress event of the glue is delivered to a delegate on the main
// thread, as in the application. The last line is the ratio of the medians.
//
//   bench_unrar [DATA-FOLDER]   (default: bench/unrar-data beside the executable)
#include "platform/MainThread.h"
#include "unrar/VLMUnrarLibGlue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMegabytes = 1024;
constexpr int kVolumeMegabytes = 100;
constexpr int kRepetitions = 3;

class CountingDelegate : public VLMUnrarLibGlueDelegate {
public:
    void unrarLibGlueEnded(VLMUnrarLibGlue*, int outcome, const VLMError& error) override {
        result = outcome;
        code = error.code();
        loop.quit();
    }
    void unrarLibGlueProgress(VLMUnrarLibGlue*, double progress, qint64 byteCount,
                              const QString& currentFile) override {
        ++events;
        lastFraction = progress;
        lastByteCount = byteCount;
        lastFile = currentFile;
    }

    QEventLoop loop;
    int result = -1;
    int code = 0;
    qint64 events = 0;
    double lastFraction = 0;
    qint64 lastByteCount = 0;
    QString lastFile;
};

QString archiveFolder(const QString& dataFolder) {
    const QString marker = dataFolder + QStringLiteral("/complete-%1MB").arg(kMegabytes);
    if (QFileInfo::exists(marker))
        return dataFolder;
    std::printf("making the %d MB archive in %s ...\n", kMegabytes, qPrintable(dataFolder));
    std::fflush(stdout);
    QDir(dataFolder).removeRecursively();
    const int status =
        QProcess::execute(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/make-rar-large"),
                          {dataFolder, QString::number(kMegabytes),
                           QString::number(kVolumeMegabytes), QStringLiteral("1")});
    if (status != 0)
        qFatal("make-rar-large failed");
    QFile(marker).open(QIODevice::WriteOnly);
    return dataFolder;
}

double extractWithGlue(const QString& archive, const QString& dest, qint64* events) {
    CountingDelegate delegate;
    QElapsedTimer timer;
    timer.start();
    auto glue =
        VLMUnrarLibGlue::initWithRarFile(QUrl::fromLocalFile(archive), QUrl::fromLocalFile(dest));
    glue->setDelegate(&delegate);
    glue->startUnrar();
    delegate.loop.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (delegate.result != UnrarOutcome::Finished || delegate.lastFraction != 1.0)
        qFatal("glue extraction failed: outcome %d, code %d", delegate.result, delegate.code);
    *events = delegate.events;
    return seconds;
}

double extractWithCommand(const QString& archive, const QString& dest) {
    QDir().mkpath(dest);
    QElapsedTimer timer;
    timer.start();
    const int status = QProcess::execute(QStringLiteral("unrar"),
                                         {QStringLiteral("x"), QStringLiteral("-idq"),
                                          QStringLiteral("-o+"), archive, dest + QLatin1Char('/')});
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (status != 0)
        qFatal("unrar x failed with %d", status);
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What one progress event costs: posted from a worker thread the way the glue
// posts it (a shared reference, a name and two numbers) and delivered to a
// delegate call on the main thread, measured on its own.
double microsecondsPerEvent(qint64 count) {
    CountingDelegate delegate;
    auto keep = std::make_shared<int>(0);
    QElapsedTimer timer;
    timer.start();
    std::thread worker([&] {
        const QString file = QStringLiteral("random.bin");
        for (qint64 i = 1; i <= count; ++i)
            MainThread::post([keep, file, i, count, &delegate] {
                delegate.unrarLibGlueProgress(nullptr, double(i) / double(count), i, file);
            });
    });
    while (delegate.events < count)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    worker.join();
    return timer.nsecsElapsed() / 1e3 / double(count);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MainThread::initialize();
    const QString dataFolder =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/unrar-data");
    const QString folder = archiveFolder(dataFolder);
    const QStringList volumes =
        QDir(folder).entryList({QStringLiteral("large.part*.rar")}, QDir::Files, QDir::Name);
    if (volumes.isEmpty())
        qFatal("no archive in %s", qPrintable(folder));
    const QString archive = folder + QLatin1Char('/') + volumes.first();
    const QString output = folder + QStringLiteral("/output");

    std::vector<double> glueTimes;
    std::vector<double> commandTimes;
    qint64 events = 0;
    // Each extraction starts from an empty output folder with nothing left to
    // write back; the order alternates so that neither always goes first.
    const auto fresh = [&] {
        QDir(output).removeRecursively();
        ::sync();
    };
    for (int run = 1; run <= kRepetitions; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            fresh();
            if ((run + turn) % 2 == 0)
                glueTimes.push_back(
                    extractWithGlue(archive, output + QStringLiteral("/glue"), &events));
            else
                commandTimes.push_back(
                    extractWithCommand(archive, output + QStringLiteral("/unrar")));
        }
        std::printf("run %d: glue %.2f s, unrar x %.2f s\n", run, glueTimes.back(),
                    commandTimes.back());
        std::fflush(stdout);
    }
    QDir(output).removeRecursively();
    const double perEvent = microsecondsPerEvent(events);
    std::printf("progress events per glue run: %lld (%.2f us each to post and deliver, "
                "%.1f ms in all)\n",
                static_cast<long long>(events), perEvent, perEvent * double(events) / 1e3);
    std::printf("median: glue %.2f s, unrar x %.2f s\n", median(glueTimes), median(commandTimes));
    std::printf("glue/unrar: %.3f\n", median(glueTimes) / median(commandTimes));
    return 0;
}
