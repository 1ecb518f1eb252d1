// Saves pictures of the document window for review (scripts/screenshot):
//   window-repaired.png   a PAR 2 set after a real repair, output drawer open
//   encoding-chooser.png  the character-set chooser over a document window
// Usage: velmora_window_screenshot OUTPUT_FOLDER

#include "EventLoopWait.h"
#include "SampleSets.h"
#include "ScreenshotTool.h"
#include "TestEnvironment.h"
#include "app/PARDocumentController.h"
#include "par2/ui/EncodingSelectionDialog.h"
#include "par2/ui/EncodingSheetPresenter.h"
#include "window/PARTableView.h"
#include "window/ParWindow.h"
#include "window/ParWindowController.h"
#include "window/VelmoraController.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <memory>

namespace {

bool shootRepairedSet(PARDocumentController& documents, const QString& output) {
    const QString main = SampleSets::makeDamagedSet(TestEnvironment::makeFolder("repaired"));
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    if (!controller || !SampleSets::waitForRunEnd(*controller))
        return false;
    // As in the application, where these commands have receivers.
    QObject::connect(controller.get(), &ParWindowController::openDocumentRequested, [] {});
    QObject::connect(controller.get(), &ParWindowController::preferencesRequested, [] {});
    controller->window()->move(40, 40);
    controller->velmoraController()->ToggleDrawer();
    controller->window()->fileStatus()->selectRow(1);
    ScreenshotTool::settle(600);
    return ScreenshotTool::save(controller->window()->grab(), output + "/window-repaired.png");
}

bool shootEncodingChooser(PARDocumentController& documents, const QString& output) {
    const QString main = SampleSets::makeSetWithLatin1Name(TestEnvironment::makeFolder("names"));
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    if (!controller ||
        !spinUntil([&] { return controller->window()->findChild<EncodingSelectionDialog*>(); }))
        return false;
    ScreenshotTool::settle(600);
    return ScreenshotTool::save(QGuiApplication::primaryScreen()->grabWindow(0),
                                output + "/encoding-chooser.png");
}

} // namespace

int main(int argc, char** argv) {
    return ScreenshotTool::run(argc, argv, [](const QString& output) {
        PARDocumentController documents;
        EncodingSheetPresenter sheets;
        return shootRepairedSet(documents, output) && shootEncodingChooser(documents, output);
    });
}
