#pragma once

#include "platform/Workspace.h"

// The desktop's file services: the file manager over D-Bus when one offers it,
// else the default application for the item's folder; files and web addresses
// open through xdg-open (QDesktopServices); named programs are found by
// DesktopApplications and started detached in the file's folder.
class DesktopWorkspace : public Workspace {
public:
    void revealInFileManager(const QString& path) override;
    bool openFile(const QString& path) override;
    bool openFileWithApplication(const QString& path, const QString& application) override;
    QString fullPathForApplication(const QString& application, const QString& filePath) override;
    // Only http and https addresses: a stored rule's address must not start a
    // program or open a local file.
    bool openURL(const QString& url) override;
};
