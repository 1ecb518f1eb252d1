#include "AboutFacts.h"

#include "document/HelperLocator.h"
#include "par1/Par1CommandLine.h"
#include "par2/Par2CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#define _UNIX
#include <unrar/dll.hpp>
#undef _UNIX

namespace {

constexpr int kVersionTimeoutMs = 2000;

QString firstLineOf(const QByteArray& output) {
    return QString::fromUtf8(output).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// A helper that does not know the option answers with its usage; that is no
// version, so only a line that names one counts.
QString versionOf(const QString& path, const QString& option) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(path, {option});
    if (!process.waitForFinished(kVersionTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QString();
    }
    const QString line = firstLineOf(process.readAll());
    return line.contains(QLatin1String("version"), Qt::CaseInsensitive) ? line : QString();
}

AboutFacts::Tool tool(const QString& name, const QString& toolName, const QString& option) {
    AboutFacts::Tool result;
    result.name = name;
    result.path = HelperLocator::pathOf(toolName);
    result.found = HelperLocator::problemWith(toolName).isEmpty();
    if (result.found && !option.isEmpty())
        result.version = versionOf(result.path, option);
    return result;
}

QString existingFile(const QString& path) {
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QList<AboutFacts::Tool> AboutFacts::helperTools() {
    return {tool(QStringLiteral("par2cmdline"), Par2CommandLine::kToolName, QStringLiteral("-V")),
            tool(QStringLiteral("par (PAR 1)"), Par1CommandLine::kToolName, QString())};
}

int AboutFacts::unrarInterfaceVersion() {
    return RARGetDllVersion();
}

QString AboutFacts::documentationFolder() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../share/doc/velmora"));
}

QString AboutFacts::userGuidePath() {
    return existingFile(documentationFolder() + QStringLiteral("/user-guide.md"));
}

QString AboutFacts::licencePath() {
    return existingFile(documentationFolder() + QStringLiteral("/copyright"));
}
