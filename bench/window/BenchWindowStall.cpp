// The stall probe: a document window opens, verifies, repairs and closes a
// large PAR 2 set under the offscreen platform while a timer notes every turn
// of the event loop. Each set size runs in a process of its own, so the peak
// memory is that size's alone. A second part times a 4,000-file verify/repair
// through the application (window and headless) against the same helper
// command run by itself.
//
//   bench_window_stall [FILES...]        stall figures (default 2000 20000)
//   bench_window_stall --ratio [FILES]   wall-time ratios (default 4000)
//
// Sets are made with par2 in $TMPDIR/velmora-bench-sets and kept for later runs.

#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "par2/Par2CommandLine.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "window/ParWindowController.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kBlockSize = QStringLiteral("-s1024");
// How a probe run for the wall-time comparison is asked for its time and hands it over.
const char* const kWallOption = "--wall";
const char* const kWallLine = "window-wall-seconds";

QString setsRoot() {
    return QDir::tempPath() + QStringLiteral("/velmora-bench-sets");
}

bool run(const QString& folder, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString fileName(int index) {
    return QStringLiteral("file%1.dat").arg(index, 6, 10, QLatin1Char('0'));
}

// A set of small files with 50 recovery blocks (enough for the damage below,
// and quick to make even for tens of thousands of files), made once per size.
QString pristineSet(int files) {
    const QString folder = setsRoot() + QStringLiteral("/%1/pristine").arg(files);
    if (QFile::exists(folder + QStringLiteral("/set.par2")))
        return folder;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QRandomGenerator random{quint32(files)};
    QStringList names;
    for (int i = 0; i < files; ++i) {
        QByteArray bytes(600 + int(random.bounded(400)), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(random.bounded(256));
        QFile file(folder + QLatin1Char('/') + fileName(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        names.append(fileName(i));
    }
    std::fprintf(stderr, "making a %d-file set with par2 in %s\n", files, qPrintable(folder));
    const QStringList arguments =
        QStringList{QStringLiteral("c"),    QStringLiteral("-q"), kBlockSize,
                    QStringLiteral("-c50"), QStringLiteral("--"), QStringLiteral("set.par2")} +
        names;
    if (!run(folder, QStringLiteral("par2"), arguments)) {
        QFile::remove(folder + QStringLiteral("/set.par2"));
        return QString();
    }
    return folder;
}

// A fresh copy with three files gone and three damaged: the run repairs them.
QString damagedCopy(int files, const QString& name) {
    const QString pristine = pristineSet(files);
    if (pristine.isEmpty())
        return QString();
    const QString folder = setsRoot() + QStringLiteral("/%1/%2").arg(files).arg(name);
    QDir(folder).removeRecursively();
    if (!run(setsRoot(), QStringLiteral("cp"), {QStringLiteral("-a"), pristine, folder}))
        return QString();
    for (int i = 1; i <= 3; ++i) {
        QFile::remove(folder + QLatin1Char('/') + fileName(i * files / 4));
        // Written anew, not in place: the copy shares no data with the pristine set.
        const QString damaged = folder + QLatin1Char('/') + fileName(i * files / 4 + 1);
        QFile::remove(damaged);
        QFile file(damaged);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(QByteArray(700, 'x'));
    }
    return folder;
}

// The PAR 2 helper the application runs, run by itself for the baseline.
QString ownHelper() {
    return QStringLiteral(VELMORA_HELPERS_BUILD_DIR "/par2SL");
}

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

double mainThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Notes the longest time between two turns of the event loop.
class StallProbe {
public:
    StallProbe() {
        // Short enough to see any stall worth noting, long enough not to load the main thread.
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { turn(); });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void turn() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    double takeLongestMs() {
        turn();
        return double(std::exchange(m_longest, 0)) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

bool spinUntil(const std::function<bool()>& condition, int timeoutMs = 30 * 60 * 1000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        // Sleeps until an event comes; the probe's timer wakes it at least every 5 ms.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void runLoopFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// One size, in this process: open, verify and repair, close.
// Asked for it, the time from opening to the end of the run is handed to the parent.
int probeWindow(const QString& folder, int files, bool reportsWallTime) {
    Preferences::setProcessOverride(PrefKey::AutoDeletePnn, false);
    Preferences::setProcessOverride(PrefKey::AutoPostProcess, false);
    Preferences::setProcessOverride(PrefKey::AutoCloseDocument, false);
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    PARDocumentController documents;
    StallProbe probe;
    probe.start();
    runLoopFor(100);
    probe.takeLongestMs();
    const double cpuBefore = mainThreadCpuSeconds();
    QElapsedTimer wall;
    wall.start();

    auto document = std::make_shared<PAR2Document>();
    VLMError error;
    if (!document->initWithContentsOfURL(folder + QStringLiteral("/set.par2"),
                                         QStringLiteral("PAR2 File"), &error))
        return 1;
    documents.addDocument(document);
    auto* window = new ParWindowController(document);
    window->showWindow();
    spinUntil([&] { return document->m_PARIsRunning() != RunKind::None; });
    const double openGap = probe.takeLongestMs();
    const double openSeconds = seconds(wall);
    QElapsedTimer runWall;
    runWall.start();
    const bool ended = spinUntil([&] {
        return document->m_PARHasRepaired() && document->m_PARIsRunning() == RunKind::None &&
               !document->hasLiveReaders();
    });
    runLoopFor(200);
    const double runGap = probe.takeLongestMs();
    const double runSeconds = seconds(runWall) - 0.2;
    const int32_t status = document->m_DocumentStatus();
    delete window;
    document->close();
    document.reset();
    runLoopFor(200);
    const double closeGap = probe.takeLongestMs();
    const double cpu = mainThreadCpuSeconds() - cpuBefore;
    std::printf("%6d files: longest event-loop gap %7.1f ms (open %.1f, run %.1f, close %.1f); "
                "main-thread time %6.2f s of %6.2f s; run %6.2f s; open %5.2f s; peak memory "
                "%7.1f MiB; status %d%s\n",
                files, std::max({openGap, runGap, closeGap}), openGap, runGap, closeGap, cpu,
                seconds(wall), runSeconds, openSeconds, double(peakMemoryKiB()) / 1024.0, status,
                ended ? "" : " (did not end)");
    if (reportsWallTime)
        std::printf("%s %.4f\n", kWallLine, openSeconds + runSeconds);
    std::fflush(stdout);
    return ended ? 0 : 1;
}

// Runs this program again for one size, in its own process. Its output is
// passed on, but for the wall time it reports, which is returned (or 0).
double runChild(const QStringList& arguments, bool* succeeded) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    *succeeded = child.waitForFinished(-1) && child.exitCode() == 0;
    double wallSeconds = 0;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith(kWallLine))
            wallSeconds = line.mid(qsizetype(std::strlen(kWallLine))).trimmed().toDouble();
        else if (!line.isEmpty())
            std::printf("%s\n", line.constData());
    }
    std::fflush(stdout);
    return wallSeconds;
}

double timed(const std::function<bool()>& step) {
    QElapsedTimer timer;
    timer.start();
    if (!step())
        return -1;
    return seconds(timer);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool runHeadless(const QString& folder) {
    QProcess velmora;
    velmora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    velmora.setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELMORA_HELPERS_DIR"),
                       QStringLiteral(VELMORA_HELPERS_BUILD_DIR));
    // Its preferences go to a private folder, not the user's.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), setsRoot() + QStringLiteral("/config"));
    velmora.setProcessEnvironment(environment);
    velmora.start(QStringLiteral(VELMORA_BINARY),
                  {QStringLiteral("--headless"), QStringLiteral("--set"),
                   QStringLiteral("AutoDeletePnn=NO"), QStringLiteral("--set"),
                   QStringLiteral("AutoPostProcess=NO"), folder + QStringLiteral("/set.par2")});
    return velmora.waitForFinished(-1) && velmora.exitCode() == 0;
}

// The same verify/repair three ways (the helper alone, headless, in a window),
// each on a fresh damaged copy, five rounds alternating; the medians are compared.
int compareWallTimes(int files) {
    std::vector<double> alone, headless, window;
    for (int round = 0; round < 5; ++round) {
        const QString folderA = damagedCopy(files, QStringLiteral("alone"));
        const QStringList arguments =
            Par2CommandLine::makeRepairParamArray(folderA + QStringLiteral("/set.par2"));
        alone.push_back(timed([&] { return run(folderA, ownHelper(), arguments); }));
        const QString folderB = damagedCopy(files, QStringLiteral("headless"));
        headless.push_back(timed([&] { return runHeadless(folderB); }));
        const QString folderC = damagedCopy(files, QStringLiteral("window"));
        bool probed = false;
        window.push_back(runChild({QStringLiteral("--probe"), folderC, QString::number(files),
                                   QString::fromLatin1(kWallOption)},
                                  &probed));
        if (!probed || headless.back() < 0 || alone.back() < 0)
            return 1;
    }
    const double base = median(alone);
    std::printf("%6d files: helper alone %.2f s; headless %.2f s (ratio %.2f); window, open to "
                "end of run, %.2f s (ratio %.2f); medians of %zu rounds\n",
                files, base, median(headless), median(headless) / base, median(window),
                median(window) / base, alone.size());
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainThread::initialize();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--probe"))
        return probeWindow(arguments.value(1), arguments.value(2).toInt(),
                           arguments.value(3) == QLatin1String(kWallOption));
    if (arguments.value(0) == QLatin1String("--ratio"))
        return compareWallTimes(arguments.size() > 1 ? arguments[1].toInt() : 4000);
    QList<int> sizes;
    for (const QString& argument : arguments)
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {2000, 20000};
    int failures = 0;
    for (int files : sizes) {
        const QString folder = damagedCopy(files, QStringLiteral("window"));
        bool probed = false;
        if (!folder.isEmpty())
            runChild({QStringLiteral("--probe"), folder, QString::number(files)}, &probed);
        if (!probed)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
