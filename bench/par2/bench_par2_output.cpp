// Cost of reading the par2 helper's output while it runs: a realistic
// verify/repair output of up to 300,000 lines is fed in the writes par2 makes
// (one progress line per write), once to the incremental reading and, on the
// sizes it can finish, to a literal full re-read after every write.
#include "par2/Par2OutputParser.h"

#include <QStringList>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The writes of a large run: recovery files loading, every file verified with
// scanning progress, then the repair's progress and the repaired files.
QStringList par2Writes(int lineCount) {
    QStringList writes;
    writes.reserve(lineCount);
    const auto add = [&](const QString& write) {
        if (writes.size() < lineCount)
            writes.append(write);
    };
    const int files = std::max(lineCount / 100, 1);
    const int volumes = std::max(lineCount / 2000, 1);
    for (int v = 0; v < volumes; ++v) {
        add(QStringLiteral("Loading \"big.vol%1+%2.par2\".\n").arg(v * 64).arg(64));
        for (int p = 1; p <= lineCount / 5 / volumes; ++p)
            add(QStringLiteral("Loading: %1%\r")
                    .arg(100.0 * p / (lineCount / 5 / volumes), 0, 'f', 1));
        add(QStringLiteral("Loaded 64 new packets including 64 recovery blocks\n"));
    }
    add(QStringLiteral("There are %1 recoverable files and 0 other files.\n").arg(files));
    add(QStringLiteral("The block size used was 768000 bytes.\n"));
    add(QStringLiteral("Verifying source files:\n"));
    const int scansPerFile = std::max(lineCount * 2 / 5 / files, 1);
    for (int f = 0; f < files; ++f) {
        add(QStringLiteral("Opening: \"file%1.bin\"\n").arg(f));
        for (int p = 1; p <= scansPerFile; ++p)
            add(QStringLiteral("Scanning: \"file%1.bin\": %2%\r")
                    .arg(f)
                    .arg(100.0 * p / scansPerFile, 0, 'f', 1));
        const char* verdict = f % 50 == 7   ? "damaged. Found 9 of 10 data blocks."
                              : f % 50 == 9 ? "missing."
                                            : "found.";
        add(QStringLiteral("Target: \"file%1.bin\" - %2\n").arg(f).arg(QLatin1String(verdict)));
    }
    add(QStringLiteral("Repair is required.\n"));
    add(QStringLiteral("Repair is possible.\n"));
    const int repairLines = std::max(lineCount - int(writes.size()) - files / 25 - 1, 1);
    for (int p = 1; p <= repairLines; ++p)
        add(QStringLiteral("Repairing: %1%\r").arg(100.0 * p / repairLines, 0, 'f', 3));
    for (int f = 0; f < files; ++f) {
        if (f % 50 == 7 || f % 50 == 9)
            add(QStringLiteral("Target: \"file%1.bin\" - found.\n").arg(f));
    }
    while (writes.size() < lineCount)
        add(QStringLiteral("Repair complete.\n"));
    return writes;
}

// The writes laid out one after the other, as a reader's buffer would hold
// them, so that the measurement does not depend on where the heap put each one.
struct Writes {
    explicit Writes(const QStringList& list) {
        for (const QString& write : list) {
            spans.push_back({text.size(), write.size()});
            text += write;
        }
    }
    QString text;
    std::vector<std::pair<qsizetype, qsizetype>> spans;
};

// Seconds to feed the writes, one per chunk, to a fresh reading.
double feedSeconds(const Writes& writes, Par2OutputParser::Rescan rescan, Par2OutputModel& model) {
    model = Par2OutputModel();
    model.m_DocumentStatus = DocStatus::Verifying;
    Par2OutputParser parser(model, rescan);
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [at, size] : writes.spans)
        parser.ProcessStdOutData(QString::fromRawData(writes.text.constData() + at, size));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Least-squares slope of log(time) against log(lines).
double scalingExponent(const QList<QPair<int, double>>& points) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [lines, seconds] : points) {
        const double x = std::log(double(lines)), y = std::log(seconds);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double n = double(points.size());
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

} // namespace

int main() {
    // A full re-read is quadratic: it runs a size only when the size before it
    // predicts it finishing within this many seconds.
    constexpr double kFullRereadBudget = 120.0;
    const QList<int> sizes = {3000, 10000, 30000, 100000, 300000};
    QList<QPair<int, double>> incremental;
    QList<QPair<int, double>> full;
    for (int lines : sizes) {
        const Writes writes(par2Writes(lines));
        Par2OutputModel incrementalModel, fullModel;
        const double seconds =
            feedSeconds(writes, Par2OutputParser::Rescan::Incremental, incrementalModel);
        incremental.append({lines, seconds});
        std::printf("incremental %7d lines: %8.3f us/line (%.3f s)\n", lines, 1e6 * seconds / lines,
                    seconds);
        const bool affordable =
            full.size() == incremental.size() - 1 &&
            (full.isEmpty() || full.last().second * std::pow(double(lines) / full.last().first, 2) <
                                   kFullRereadBudget);
        if (!affordable)
            continue;
        const double fullSeconds =
            feedSeconds(writes, Par2OutputParser::Rescan::FullReread, fullModel);
        full.append({lines, fullSeconds});
        std::printf("full re-read %6d lines: %8.3f us/line (%.3f s)%s\n", lines,
                    1e6 * fullSeconds / lines, fullSeconds,
                    fullModel == incrementalModel ? "" : "  MODELS DIFFER");
    }
    const double incrementalAtCommon = incremental[full.size() - 1].second;
    std::printf("ratio: %.1f\n", full.last().second / incrementalAtCommon);
    std::printf("scaling: %.3f\n", scalingExponent(incremental.mid(2)));
    return 0;
}
