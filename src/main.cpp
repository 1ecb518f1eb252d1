#include "app/CommandLine.h"
#include "app/HeadlessRun.h"
#include "app/PARDocumentController.h"
#include "app/SingleInstance.h"
#include "app/ui/GuiSession.h"
#include "app/ui/ParApplication.h"
#include "platform/Analytics.h"
#include "platform/AppInfo.h"
#include "platform/FileNames.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

void printLine(FILE* stream, const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

int runHeadless(PARDocumentController& controller, const CommandLine& commandLine) {
    Preferences::setProcessOverride(PrefKey::UnattendedOperation, true);
    HeadlessRun run(controller, {.json = commandLine.json(),
                                 .events = commandLine.events(),
                                 .recursive = commandLine.recursive()});
    const QStringList& files = commandLine.files();
    const bool started = commandLine.createName().isEmpty()
                             ? run.open(files)
                             : run.create(commandLine.createName(), commandLine.number(), files);
    if (!started)
        return 2;
    return QCoreApplication::exec();
}

// The arguments the application left after taking its own options. They are
// read from their bytes: Qt's own list loses names that are not UTF-8.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileNames::decode(QByteArray(argv[i])));
    return arguments;
}

// The command line after the application has taken its own options; null,
// with the problem reported, on a usage error or a refused password file.
std::optional<CommandLine> readCommandLine(int argc, char** argv) {
    CommandLine commandLine;
    if (!commandLine.parse(argumentsOf(argc, argv))) {
        printLine(stderr, QStringLiteral("velmora: ") + commandLine.problem());
        std::fputs(CommandLine::usage(), stderr);
        return std::nullopt;
    }
    if (!commandLine.applyToProcess()) {
        printLine(stderr, QStringLiteral("velmora: ") + commandLine.problem());
        return std::nullopt;
    }
    return commandLine;
}

// Runs without a display: --version, --help and --headless.
int runWithoutWindows(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(AppInfo::shortVersion());
    MainThread::initialize();
    const std::optional<CommandLine> commandLine = readCommandLine(argc, argv);
    if (!commandLine)
        return 2;
    if (commandLine->mode() == CommandLine::Mode::Version) {
        printLine(stdout, QStringLiteral("Velmora ") + AppInfo::shortVersion());
        return 0;
    }
    if (commandLine->mode() == CommandLine::Mode::Help) {
        std::fputs(CommandLine::usage(), stdout);
        return 0;
    }
    PARDocumentController controller;
    Analytics::start();
    return runHeadless(controller, *commandLine);
}

int runWithWindows(int argc, char** argv) {
    ParApplication app(argc, argv);
    MainThread::initialize();
    const std::optional<CommandLine> commandLine = readCommandLine(argc, argv);
    if (!commandLine)
        return 2;
    // Options that hold for this process only keep the start to itself.
    const QStringList& files = commandLine->files();
    const QString newType = commandLine->newDocumentType();
    const bool mayHandOver =
        commandLine->settings().isEmpty() && commandLine->passwordFile().isEmpty();
    if (mayHandOver && (files.isEmpty() ? SingleInstance::forwardNewDocument(newType)
                                        : SingleInstance::forwardOpen(files)))
        return 0;
    PARDocumentController controller;
    Analytics::start();
    GuiSession session(controller);
    const SingleInstance instance(
        QDBusConnection::sessionBus(),
        [&session](const QStringList& paths) { session.open(paths); },
        [&session](const QString& type) { session.launchedAgain(type); });
    if (!newType.isNull())
        controller.newDocumentOfType(newType);
    session.openAtLaunch(files);
    QTimer::singleShot(0, &app, [&session] {
        if (!session.quitIfNothingShown())
            session.checkForUpdatesAtLaunch();
    });
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
