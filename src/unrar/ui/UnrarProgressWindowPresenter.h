#pragma once

#include "unrar/UnrarProgressPresenter.h"

// Shows extractions in UnrarProgressWindows: a sheet on the document window when
// the extraction comes from a document that has one, a window of its own
// otherwise.
class UnrarProgressWindowPresenter : public UnrarProgressPresenter {
public:
    std::unique_ptr<UnrarProgressView> makeView(UnrarProgressionController& controller,
                                                DocumentWindowInterface* docWindow,
                                                const QString& archivePath) override;
};
