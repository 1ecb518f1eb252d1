#pragma once

#include <cstdint>
#include <memory>

class MyDocument;

// The window layer's panels for building a new set: the add-files panel, the
// save panel of a set never saved and the options sheet of a set saved before.
// They report back through the document's plain calls (addFilesPanelDidEnd;
// panelUserEnteredFilename then saveToLocation; saveOptionsFinishedWithNumPnn).
// The application installs them; tests install scripted ones. Main thread.
class SetBuildingPanels {
public:
    virtual ~SetBuildingPanels() = default;
    virtual void beginAddFilesPanel(const std::shared_ptr<MyDocument>& document) = 0;
    virtual void beginSavePanel(const std::shared_ptr<MyDocument>& document) = 0;
    virtual void beginSaveOptionsSheet(const std::shared_ptr<MyDocument>& document, int32_t parType,
                                       int32_t initialNum) = 0;

    static void install(SetBuildingPanels* panels);
    static SetBuildingPanels* current();
};
