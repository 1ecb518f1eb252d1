#pragma once

#include "document/MyDocument.h"

class QWidget;

// The widget panels for building a new set: AddFilesPanel, SaveDialog and
// SaveOptionsController, each over the document's window. Installs itself
// for its lifetime.
class WidgetSetBuildingPanels : public SetBuildingPanels {
public:
    WidgetSetBuildingPanels();
    ~WidgetSetBuildingPanels() override;

    void beginAddFilesPanel(const std::shared_ptr<MyDocument>& document) override;
    void beginSavePanel(const std::shared_ptr<MyDocument>& document) override;
    void beginSaveOptionsSheet(const std::shared_ptr<MyDocument>& document, int32_t parType,
                               int32_t initialNum) override;

    // The window that shows the document: the widget behind its window
    // interface, else the active window.
    static QWidget* windowOf(const MyDocument& document);
};
