#pragma once

#include "platform/Workspace.h"

#include <QStringList>

// Records the addresses it is asked to open; installs itself for its lifetime.
class RecordingWorkspace : public Workspace {
public:
    RecordingWorkspace() { Workspace::install(this); }
    ~RecordingWorkspace() override { Workspace::install(nullptr); }

    void revealInFileManager(const QString&) override {}
    bool openURL(const QString& url) override {
        opened.append(url);
        return opens;
    }

    QStringList opened;
    bool opens = true;
};
