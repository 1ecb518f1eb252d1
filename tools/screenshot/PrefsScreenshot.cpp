// Saves pictures of the preferences window and the rule editor for review:
//   preferences-<tab>.png   each tab of the preferences window
//   rule-editor.png         the rule editor over the preferences window
// Usage (under Xvfb): velmora_prefs_screenshot OUTPUT_FOLDER

#include "ScreenshotTool.h"
#include "app/PARDocumentController.h"
#include "postprocess/ui/EditPPRuleController.h"
#include "preferences/ui/PreferencesController.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTabWidget>

namespace {

bool shootTabs(PreferencesController& window, const QString& output) {
    auto* tabs = window.findChild<QTabWidget*>();
    const char* names[] = {"general", "rules", "extraction", "new-sets"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        ScreenshotTool::settle(300);
        if (!ScreenshotTool::save(window.grab(), output + "/preferences-" + names[tab] + ".png"))
            return false;
    }
    return true;
}

bool shootRuleEditor(PreferencesController& window, const QString& output) {
    auto* tabs = window.findChild<QTabWidget*>();
    tabs->setCurrentIndex(1);
    window.findChild<QListWidget*>(QStringLiteral("rulesList"))->setCurrentRow(1);
    window.OnModifyRule();
    if (window.ruleEditor() == nullptr)
        return false;
    ScreenshotTool::settle(600);
    return ScreenshotTool::save(window.ruleEditor()->grab(), output + "/rule-editor.png") &&
           ScreenshotTool::save(QGuiApplication::primaryScreen()->grabWindow(0),
                                output + "/rule-editor-sheet.png");
}

} // namespace

int main(int argc, char** argv) {
    return ScreenshotTool::run(argc, argv, [](const QString& output) {
        PARDocumentController documents;
        PreferencesController window(documents);
        window.move(40, 40);
        window.show();
        ScreenshotTool::settle(300);
        return shootTabs(window, output) && shootRuleEditor(window, output);
    });
}
