#include "EncodingSelectionSheet.h"

#include <atomic>

namespace {
std::atomic<EncodingSelectionSheet*> gSheet{nullptr};
}

void EncodingSelectionSheet::install(EncodingSelectionSheet* sheet) {
    gSheet = sheet;
}

EncodingSelectionSheet* EncodingSelectionSheet::current() {
    return gSheet;
}
