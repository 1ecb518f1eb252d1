#include "app/HeadlessRun.h"
#include "app/PARDocumentController.h"
#include "app/ui/GuiSession.h"
#include "app/ui/ParApplication.h"
#include "platform/Analytics.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "preferences/PreferenceKeys.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <string_view>

namespace {

const char* const kUsage =
    "Usage: velmora [FILE...]\n"
    "       velmora --headless [--json] FILE...\n"
    "       velmora --headless [--json] --create NAME.par2 [--redundancy PERCENT] FILE...\n"
    "       velmora --headless [--json] --create NAME.par [--volumes N] FILE...\n"
    "\n"
    "Verifies and repairs PAR 1 and PAR 2 recovery sets, and creates new ones.\n"
    "\n"
    "  --headless   work without windows; every question gets the unattended answer\n"
    "               (for this run only; the stored preferences are not changed)\n"
    "  --json       with --headless: print one JSON line per finished document\n"
    "  --create     with --headless: make a new set NAME from the FILEs (all in one folder)\n"
    "  --redundancy PAR 2 recovery data in percent of the files (default: the preference)\n"
    "  --volumes    number of PAR 1 recovery volumes (default: the preference)\n"
    "  --version    print the version\n"
    "  --help       print this text\n"
    "\n"
    "Exit status with --headless: 0 when every document ended well, 1 when any did not,\n"
    "2 for a usage error or a file that cannot be read.\n"
    "Without --headless, the files open in windows (an empty new set when none is given).\n";

void printLine(FILE* stream, const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

struct HeadlessOptions {
    bool json = false;
    QString create;
    QString number;
    QStringList files;
};

// Returns false on a usage error, which has been reported.
bool parseHeadless(const QStringList& arguments, HeadlessOptions& options) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool takesValue = argument == QLatin1String("--create") ||
                                argument == QLatin1String("--redundancy") ||
                                argument == QLatin1String("--volumes");
        if (takesValue && i + 1 >= arguments.size()) {
            printLine(stderr, QStringLiteral("velmora: %1 needs a value").arg(argument));
            return false;
        }
        if (argument == QLatin1String("--json"))
            options.json = true;
        else if (argument == QLatin1String("--create"))
            options.create = arguments[++i];
        else if (takesValue)
            options.number = arguments[++i];
        else if (argument.startsWith(QLatin1String("--")) &&
                 argument != QLatin1String("--headless")) {
            printLine(stderr, QStringLiteral("velmora: unknown option %1").arg(argument));
            return false;
        } else if (argument != QLatin1String("--headless"))
            options.files.append(argument);
    }
    if (options.files.isEmpty()) {
        std::fputs(kUsage, stderr);
        return false;
    }
    return true;
}

int runHeadless(PARDocumentController& controller, const QStringList& arguments) {
    HeadlessOptions options;
    if (!parseHeadless(arguments, options))
        return 2;
    Preferences::setProcessOverride(PrefKey::UnattendedOperation, true);
    HeadlessRun run(controller, options.json);
    const bool started = options.create.isEmpty()
                             ? run.open(options.files)
                             : run.create(options.create, options.number, options.files);
    if (!started)
        return 2;
    return QCoreApplication::exec();
}

// Runs without a display: --version, --help and --headless.
int runWithoutWindows(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(AppInfo::shortVersion());
    MainThread::initialize();
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
    return runHeadless(controller, arguments);
}

int runWithWindows(int argc, char** argv) {
    ParApplication app(argc, argv);
    MainThread::initialize();
    PARDocumentController controller;
    Analytics::start();
    GuiSession session(controller);
    session.openAtLaunch(QCoreApplication::arguments().mid(1));
    return QApplication::exec();
}

bool wantsWindows(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--headless" || argument == "--version" || argument == "--help")
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    return wantsWindows(argc, argv) ? runWithWindows(argc, argv) : runWithoutWindows(argc, argv);
}
