#include "UnrarProgressPresenter.h"

#include <atomic>

namespace {
std::atomic<UnrarProgressPresenter*> installedPresenter{nullptr};
}

void UnrarProgressPresenter::install(UnrarProgressPresenter* presenter) {
    installedPresenter = presenter;
}

UnrarProgressPresenter* UnrarProgressPresenter::current() {
    return installedPresenter;
}
