#include "Workspace.h"

#include <atomic>

namespace {
std::atomic<Workspace*> installedWorkspace{nullptr};
}

void Workspace::install(Workspace* workspace) {
    installedWorkspace = workspace;
}

Workspace* Workspace::current() {
    return installedWorkspace;
}
