#include "RuleAction.h"

#include "document/UnattendedSupport.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Workspace.h"
#include "postprocess/MacroSubstitution.h"
#include "postprocess/PostProcessRule.h"
#include "postprocess/ShellScriptRunner.h"

#include <QDebug>

namespace {

QString localized(const char* key) {
    return StringTables::localized(QString::fromLatin1(key));
}

// The message is an argument, never a format: "%" in a file name stays as it is.
int showCriticalAlert(const QString& title, const QString& message,
                      const QString& otherButton = QString()) {
    return VLMLRunCriticalAlertPanel(title, QStringLiteral("%@"), QString(), QString(), otherButton,
                                     message);
}

QString withoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

void runCommandLine(const PostProcessRule& rule, const QString& folder, const QString& path) {
    const QString script = MacroSubstitution::MakeAppleScriptFromCommand(rule, path);
    const QString title = localized("AppleScript");
    if (script.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Error: the terminal script template is missing");
        showCriticalAlert(title, localized("CantLaunchCommandErr"));
        return;
    }
    ShellScriptRunner::run(script, folder, [title](int exitStatus, const QString& errorOutput) {
        if (exitStatus == 0)
            return;
        const QString message = errorOutput.trimmed();
        showCriticalAlert(title, message.isEmpty() ? localized("CantLaunchCommandErr") : message);
    });
}

void openWithDefault(const QString& path, const QString& target) {
    Workspace* workspace = Workspace::current();
    if (workspace != nullptr && workspace->openFile(path))
        return;
    showCriticalAlert(localized("PostProcessErrdescription"),
                      formatString(localized("PostProcess1Err"), target));
}

void openWithProgram(const PostProcessRule& rule, const QString& path, const QString& target) {
    Workspace* workspace = Workspace::current();
    const QString program = rule.mAppOrCommand();
    if (workspace != nullptr && workspace->openFileWithApplication(path, program))
        return;
    const QString shortName = withoutExtension(program);
    const bool installed =
        workspace != nullptr && !workspace->fullPathForApplication(program, path).isEmpty();
    const QString message = installed
                                ? formatString(localized("PostProcess2Err"), target, shortName)
                                : formatString(localized("PostProcess3Err"), shortName);
    const bool offerDownload = !rule.mURL().isEmpty();
    const int answer =
        showCriticalAlert(localized("PostProcessErrdescription"), message,
                          offerDownload ? localized("DownloadButtonText") : QString());
    if (offerDownload && answer == kAlertOtherReturn && workspace != nullptr)
        workspace->openURL(rule.mURL());
}

} // namespace

void RuleAction::handleAutoPP(const PostProcessRule& rule, const QString& folder,
                              const QString& target) {
    const QString path = folder + u'/' + target;
    switch (rule.mActionType()) {
    case PostProcessRule::RunCommandLine:
        runCommandLine(rule, folder, path);
        break;
    case PostProcessRule::OpenWithDefault:
        openWithDefault(path, target);
        break;
    case PostProcessRule::OpenWithProgram:
        openWithProgram(rule, path, target);
        break;
    default:
        break;
    }
}
