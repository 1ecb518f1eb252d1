#pragma once

#include "unrar/UnrarProgressView.h"

#include <memory>

class DocumentWindowInterface;
class UnrarProgressionController;

// Makes the progress views of extractions. The user interface installs one;
// without one (headless runs, tests) extractions run without a view. Main thread.
class UnrarProgressPresenter {
public:
    virtual ~UnrarProgressPresenter() = default;

    // docWindow: the document window to show a sheet on, or null for a window of
    // its own, titled with the archive's file name, placed 20 points right of and
    // below the key window (else centred).
    virtual std::unique_ptr<UnrarProgressView> makeView(UnrarProgressionController& controller,
                                                        DocumentWindowInterface* docWindow,
                                                        const QString& archivePath) = 0;

    static void install(UnrarProgressPresenter* presenter);
    static UnrarProgressPresenter* current();
};
