#include "UnrarPasswordPrompt.h"

#include <atomic>

namespace {
std::atomic<UnrarPasswordPrompt*> installedPrompt{nullptr};
}

void UnrarPasswordPrompt::install(UnrarPasswordPrompt* prompt) {
    installedPrompt = prompt;
}

UnrarPasswordPrompt* UnrarPasswordPrompt::current() {
    return installedPrompt;
}
