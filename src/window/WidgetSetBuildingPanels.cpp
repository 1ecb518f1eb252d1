#include "WidgetSetBuildingPanels.h"

#include "document/DocumentWindowInterface.h"
#include "window/AddFilesPanel.h"
#include "window/SaveDialog.h"
#include "window/SaveOptionsController.h"

#include <QApplication>
#include <QWidget>

WidgetSetBuildingPanels::WidgetSetBuildingPanels() {
    install(this);
}

WidgetSetBuildingPanels::~WidgetSetBuildingPanels() {
    if (current() == this)
        install(nullptr);
}

void WidgetSetBuildingPanels::beginAddFilesPanel(const std::shared_ptr<MyDocument>& document) {
    (new AddFilesPanel(document, windowOf(*document)))->open();
}

void WidgetSetBuildingPanels::beginSavePanel(const std::shared_ptr<MyDocument>& document) {
    QWidget* window = windowOf(*document);
    auto* dialog = new SaveDialog(document, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(window != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->open();
}

void WidgetSetBuildingPanels::beginSaveOptionsSheet(const std::shared_ptr<MyDocument>& document,
                                                    int32_t parType, int32_t initialNum) {
    (new SaveOptionsController(document))->doItForWindow(windowOf(*document), parType, initialNum);
}

// The window interface may be a widget or an object that a widget owns.
QWidget* WidgetSetBuildingPanels::windowOf(const MyDocument& document) {
    for (auto* object = dynamic_cast<QObject*>(document.parController()); object != nullptr;
         object = object->parent()) {
        if (auto* widget = qobject_cast<QWidget*>(object))
            return widget->window();
    }
    return QApplication::activeWindow();
}
