// Saves pictures of the extraction windows for review (scripts/screenshot):
//   unrar-progress.png  the progress window in the middle of an extraction
//   unrar-password.png  the password dialog with a password typed in
//   unrar-sheet.png     the progress sheet on a document window, waiting its turn
// Usage: velmora_unrar_screenshot OUTPUT_FOLDER

#include "EventLoopWait.h"
#include "RunCommand.h"
#include "ScreenshotTool.h"
#include "TestEnvironment.h"
#include "unrar/UnrarProgressionController.h"
#include "unrar/VLMUnrarProgressionControllerDelegate.h"
#include "unrar/ui/UnrarPasswordController.h"
#include "unrar/ui/UnrarProgressWindow.h"
#include "unrar/ui/UnrarUserInterface.h"
#include "window/ParWindow.h"
#include "window/VelmoraController.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

class Extraction : public VLMUnrarProgressionControllerDelegate {
public:
    Extraction() : controller(UnrarProgressionController::create()) {
        controller->setDelegate(this);
    }
    void unrarFinished() override {}
    void unrarProgressionControllerDidEnd(UnrarProgressionController*) override { ended = true; }

    std::shared_ptr<UnrarProgressionController> controller;
    bool ended = false;
};

QString makeArchives(const QString& script, const QStringList& arguments) {
    const QString folder = TestEnvironment::makeFolder(script);
    const QString path = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/") + script;
    return runCommand(folder, path, QStringList{folder} + arguments) == 0 ? folder : QString();
}

UnrarProgressWindow* progressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<UnrarProgressWindow*>(widget))
            return window;
    }
    return nullptr;
}

// Taken at the first progress value past a third, from within the update.
bool shootProgress(const QString& output) {
    const QString archives = makeArchives(QStringLiteral("make-rar-large"), {"128", "32"});
    Extraction run;
    run.controller->setupForUnrarDocument(archives + "/large.part1.rar",
                                          TestEnvironment::makeFolder(QStringLiteral("out")));
    UnrarProgressWindow* window = progressWindow();
    if (window == nullptr)
        return false;
    bool saved = false;
    QObject::connect(window->progressionBar(), &QProgressBar::valueChanged, window, [&] {
        const QProgressBar* bar = window->progressionBar();
        if (saved || bar->maximum() == 0 || bar->value() * 3 < bar->maximum())
            return;
        saved = ScreenshotTool::save(window->grab(), output + "/unrar-progress.png");
        window->cancelButton()->click();
    });
    run.controller->startExclusiveProcessing();
    return spinUntil([&] { return run.ended; }, 120000) && saved;
}

bool shootPassword(const QString& output) {
    const QString archives = makeArchives(QStringLiteral("make-rar-basic"), {});
    Extraction run;
    run.controller->setupForUnrarDocument(archives + "/password.rar",
                                          TestEnvironment::makeFolder(QStringLiteral("locked")));
    bool saved = false;
    QTimer poll;
    // The dialog runs its own modal loop: it is answered from a timer.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = QApplication::activeModalWidget();
        auto* password = qobject_cast<UnrarPasswordController*>(dialog);
        if (password == nullptr || saved)
            return;
        QTest::keyClicks(password->password(), QStringLiteral("secret"));
        ScreenshotTool::settle(300);
        saved = ScreenshotTool::save(password->grab(), output + "/unrar-password.png");
        password->okButton()->click();
    });
    poll.start(50);
    run.controller->startExclusiveProcessing();
    return spinUntil([&] { return run.ended; }, 60000) && saved;
}

bool shootSheet(const QString& output) {
    ParWindow documentWindow;
    VelmoraController velmora(&documentWindow);
    documentWindow.move(40, 40);
    documentWindow.show();
    Extraction run;
    run.controller->setupForParDocument(&velmora, TestEnvironment::root() + "/film.rar", QString());
    ScreenshotTool::settle(600);
    const bool saved = ScreenshotTool::save(QGuiApplication::primaryScreen()->grabWindow(0),
                                            output + "/unrar-sheet.png");
    run.controller->onCancelButton();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    return ScreenshotTool::run(argc, argv, [](const QString& output) {
        UnrarUserInterface widgets;
        return shootProgress(output) && shootPassword(output) && shootSheet(output);
    });
}
