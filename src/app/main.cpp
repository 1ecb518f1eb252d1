#include "app/HeadlessRun.h"
#include "app/PARDocumentController.h"
#include "platform/Analytics.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "preferences/PreferenceKeys.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char* const kUsage =
    "Usage: velmora [--headless [--json]] FILE...\n"
    "\n"
    "Verifies and repairs PAR 2 recovery sets.\n"
    "\n"
    "  --headless   work without windows; every question gets the unattended answer\n"
    "               (for this run only; the stored preferences are not changed)\n"
    "  --json       with --headless: print one JSON line per finished document\n"
    "  --version    print the version\n"
    "  --help       print this text\n"
    "\n"
    "Exit status with --headless: 0 when every document ended well, 1 when any did not,\n"
    "2 for a usage error or a file that cannot be read.\n"
    "The document window is not part of this build yet: use --headless.\n";

void printLine(FILE* stream, const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

int runHeadless(PARDocumentController& controller, const QStringList& arguments) {
    QStringList files;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--json"))
            json = true;
        else if (argument.startsWith(QLatin1String("--")) &&
                 argument != QLatin1String("--headless")) {
            printLine(stderr, QStringLiteral("velmora: unknown option %1").arg(argument));
            return 2;
        } else if (argument != QLatin1String("--headless"))
            files.append(argument);
    }
    if (files.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Preferences::setProcessOverride(PrefKey::UnattendedOperation, true);
    HeadlessRun run(controller, json);
    if (!run.open(files))
        return 2;
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MainThread::initialize();
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(AppInfo::shortVersion());
    PARDocumentController controller;
    Analytics::start();

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--version"))) {
        printLine(stdout, QStringLiteral("Velmora ") + AppInfo::shortVersion());
        return 0;
    }
    if (arguments.contains(QStringLiteral("--help"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.contains(QStringLiteral("--headless")))
        return runHeadless(controller, arguments);
    std::fputs(kUsage, stderr);
    return 2;
}
