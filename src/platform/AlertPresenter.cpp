#include "AlertPresenter.h"

#include <atomic>

namespace {
std::atomic<AlertPresenter*> installedPresenter{nullptr};
}

void AlertPresenter::install(AlertPresenter* presenter) {
    installedPresenter = presenter;
}

AlertPresenter* AlertPresenter::current() {
    return installedPresenter;
}
