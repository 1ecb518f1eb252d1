#include "PanelPresenter.h"

#include <atomic>

namespace {
std::atomic<PanelPresenter*> installedPresenter{nullptr};
}

void PanelPresenter::install(PanelPresenter* presenter) {
    installedPresenter = presenter;
}

PanelPresenter* PanelPresenter::current() {
    return installedPresenter;
}
