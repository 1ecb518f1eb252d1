#pragma once

#include <memory>

class DocumentWindowInterface;
class EncodingSelectionController;

// Shows the file-name samples of a chooser as a sheet on a document window:
// one row per sample, with the columns the controller describes. The window
// layer installs its implementation; tests install scripted ones. Main thread.
class EncodingSelectionSheet {
public:
    virtual ~EncodingSelectionSheet() = default;
    // Shows the sheet with the controller's initial row selected. When the user
    // ends it, the sheet calls the controller's sheetDidEnd on the main thread.
    virtual void beginSheet(const std::shared_ptr<EncodingSelectionController>& controller,
                            DocumentWindowInterface* window) = 0;

    static void install(EncodingSelectionSheet* sheet);
    static EncodingSelectionSheet* current();
};
