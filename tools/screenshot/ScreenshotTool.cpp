#include "ScreenshotTool.h"

#include "EventLoopWait.h"
#include "TestEnvironment.h"
#include "platform/MainThread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <cstdio>

namespace ScreenshotTool {

void settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    spinUntil([&] { return timer.elapsed() > milliseconds; });
}

bool save(const QPixmap& picture, const QString& path) {
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int run(int argc, char** argv, const std::function<bool(const QString& output)>& shoot) {
    TestEnvironment::setUp();
    QApplication app(argc, argv);
    MainThread::initialize();
    const QString output =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"))
            .absolutePath();
    QDir().mkpath(output);
    return shoot(output) ? 0 : 1;
}

} // namespace ScreenshotTool
