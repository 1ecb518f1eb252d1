#include "Workspace.h"

#include <atomic>

namespace {
std::atomic<Workspace*> installedWorkspace{nullptr};
}

bool Workspace::openFile(const QString&) {
    return false;
}

bool Workspace::openFileWithApplication(const QString&, const QString&) {
    return false;
}

QString Workspace::fullPathForApplication(const QString&, const QString&) {
    return QString();
}

bool Workspace::openURL(const QString&) {
    return false;
}

void Workspace::install(Workspace* workspace) {
    installedWorkspace = workspace;
}

Workspace* Workspace::current() {
    return installedWorkspace;
}
