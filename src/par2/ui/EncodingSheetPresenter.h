#pragma once

#include "par2/EncodingSelectionSheet.h"

// Shows the character-set chooser as an EncodingSelectionDialog over the
// document window. Installs itself for its lifetime.
class EncodingSheetPresenter : public EncodingSelectionSheet {
public:
    EncodingSheetPresenter();
    ~EncodingSheetPresenter() override;
    EncodingSheetPresenter(const EncodingSheetPresenter&) = delete;
    EncodingSheetPresenter& operator=(const EncodingSheetPresenter&) = delete;

    void beginSheet(const std::shared_ptr<EncodingSelectionController>& controller,
                    DocumentWindowInterface* window) override;
};
