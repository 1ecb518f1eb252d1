#include "SetBuildingPanels.h"

#include <atomic>

namespace {
std::atomic<SetBuildingPanels*> gSetBuildingPanels{nullptr};
}

void SetBuildingPanels::install(SetBuildingPanels* panels) {
    gSetBuildingPanels = panels;
}

SetBuildingPanels* SetBuildingPanels::current() {
    return gSetBuildingPanels;
}
