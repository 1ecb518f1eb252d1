#include "EncodingSheetPresenter.h"

#include "par2/ui/EncodingSelectionDialog.h"
#include "window/ParWindow.h"
#include "window/VelmoraController.h"

EncodingSheetPresenter::EncodingSheetPresenter() {
    install(this);
}

EncodingSheetPresenter::~EncodingSheetPresenter() {
    if (current() == this)
        install(nullptr);
}

// Without a document window the dialog is modal for the whole application.
void EncodingSheetPresenter::beginSheet(
    const std::shared_ptr<EncodingSelectionController>& controller,
    DocumentWindowInterface* window) {
    VelmoraController* velmora = VelmoraController::fromWindowInterface(window);
    if (velmora != nullptr) {
        (new EncodingSelectionDialog(controller, velmora->documentWindow()))->open();
        return;
    }
    auto* dialog = new EncodingSelectionDialog(controller, nullptr);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}
