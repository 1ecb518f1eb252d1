#include "UnrarProgressWindowPresenter.h"

#include "unrar/ui/UnrarProgressWindow.h"
#include "unrar/ui/UnrarProgressWindowView.h"
#include "window/ParWindow.h"
#include "window/VelmoraController.h"

#include <QApplication>

std::unique_ptr<UnrarProgressView>
UnrarProgressWindowPresenter::makeView(UnrarProgressionController& controller,
                                       DocumentWindowInterface* docWindow,
                                       const QString& archivePath) {
    VelmoraController* velmora = VelmoraController::fromWindowInterface(docWindow);
    QWidget* documentWindow = velmora != nullptr ? velmora->documentWindow() : nullptr;
    auto* window = new UnrarProgressWindow(archivePath, documentWindow);
    window->present(QApplication::activeWindow());
    return std::make_unique<UnrarProgressWindowView>(window, controller);
}
