// Saves pictures of the document window for review (scripts/screenshot):
//   window-repaired.png   a PAR 2 set after a real repair, output drawer open
//   encoding-chooser.png  the character-set chooser over a document window
//   window-main-job.png   the main job done: a damaged set over a RAR archive
//                         repaired, extracted and cleaned up, with the result line
//   window-main-job-dark.png  the same with a dark Fusion palette
// Usage: velmora_window_screenshot OUTPUT_FOLDER

#include "EventLoopWait.h"
#include "Par2TestSupport.h"
#include "SampleSets.h"
#include "ScreenshotTool.h"
#include "TestEnvironment.h"
#include "app/PARDocumentController.h"
#include "par2/ui/EncodingSelectionDialog.h"
#include "par2/ui/EncodingSheetPresenter.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "window/PARTableView.h"
#include "window/ParWindow.h"
#include "window/ParWindowController.h"
#include "window/ResultLine.h"
#include "window/VelmoraController.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
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

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 56));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return dark;
}

// Four RAR volumes protected by a PAR 2 set; one damaged, one deleted.
QString makeDamagedArchiveSet(const QString& folder) {
    QDir(folder).mkpath("holiday");
    writeFile(folder + "/holiday/film.mkv", randomBytes(1500000, 11));
    writeFile(folder + "/holiday/notes.txt", randomBytes(20000, 12));
    if (runCommand(folder, "/usr/bin/rar",
                   {"a", "-idq", "-ma5", "-m0", "-v400k", "holiday.rar", "holiday"}) != 0)
        return QString();
    QDir(folder + "/holiday").removeRecursively();
    const QStringList volumes = QDir(folder).entryList({"holiday.part*.rar"}, QDir::Files);
    if (runPar2In(folder, QStringList{"c", "-q", "-q", "-r40", "--", "holiday.par2"} + volumes) !=
        0)
        return QString();
    damageFile(folder + "/holiday.part2.rar", 200000);
    QFile::remove(folder + "/holiday.part3.rar");
    return folder + "/holiday.par2";
}

bool shootMainJob(PARDocumentController& documents, const QString& output) {
    Preferences::setBool(PrefKey::AutoPostProcess, true);
    Preferences::setBool(PrefKey::AutoDeletePnn, true);
    Preferences::setInteger(PrefKey::DeleteSegOption, DeleteSegValue::MoveToTrash);
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination,
                            DestinationValue::DefaultLocation);
    const QString main = makeDamagedArchiveSet(TestEnvironment::makeFolder("main-job"));
    std::unique_ptr<ParWindowController> controller(SampleSets::openInWindow(documents, main));
    if (!controller ||
        !spinUntil([&] { return !controller->window()->resultLine()->isHidden(); }, 600000))
        return false;
    QObject::connect(controller.get(), &ParWindowController::openDocumentRequested, [] {});
    QObject::connect(controller.get(), &ParWindowController::preferencesRequested, [] {});
    controller->window()->move(40, 40);
    ScreenshotTool::settle(600);
    if (!ScreenshotTool::save(controller->window()->grab(), output + "/window-main-job.png"))
        return false;
    // The same in a dark theme: the status texts must stay readable.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(darkPalette());
    ScreenshotTool::settle(600);
    return ScreenshotTool::save(controller->window()->grab(), output + "/window-main-job-dark.png");
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
        return shootRepairedSet(documents, output) && shootEncodingChooser(documents, output) &&
               shootMainJob(documents, output);
    });
}
