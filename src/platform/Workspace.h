#pragma once

#include <QString>

// The desktop's file services. The application installs the desktop
// implementation (src/platform/ui); tests install recording ones.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Shows the item selected in the file manager.
    virtual void revealInFileManager(const QString& path) = 0;

    static void install(Workspace* workspace);
    static Workspace* current();
};
