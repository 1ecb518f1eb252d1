#include "app/PARDocumentController.h"
#include "platform/Analytics.h"
#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

void printLine(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(AppInfo::shortVersion());
    PARDocumentController controller;
    Analytics::start();

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--version"))) {
        printLine(QStringLiteral("Velmora ") + AppInfo::shortVersion());
        return 0;
    }
    printLine(QStringLiteral("Usage: velmora --version"));
    return arguments.contains(QStringLiteral("--help")) ? 0 : 2;
}
