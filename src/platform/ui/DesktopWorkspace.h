#pragma once

#include "platform/Workspace.h"

// The desktop's file services: the file manager over D-Bus when one offers it,
// else the default application for the item's folder.
class DesktopWorkspace : public Workspace {
public:
    void revealInFileManager(const QString& path) override;
};
