#pragma once

#include "platform/PanelPresenter.h"
#include "platform/Workspace.h"

#include <QStringList>
#include <functional>

// Stands in for the desktop while it lives: records what the application asks
// the file manager, the default applications and the browser to do.
class RecordingWorkspace : public Workspace {
public:
    RecordingWorkspace() { install(this); }
    ~RecordingWorkspace() override { install(nullptr); }
    void revealInFileManager(const QString& path) override { revealed.append(path); }
    bool openFile(const QString& path) override {
        if (whileOpening)
            whileOpening();
        opened.append(path);
        return opens;
    }
    bool openFileWithApplication(const QString& path, const QString& application) override {
        opened.append(application + QStringLiteral(": ") + path);
        return opens && installed.contains(application);
    }
    QString fullPathForApplication(const QString& application, const QString&) override {
        return installed.contains(application) ? QStringLiteral("/usr/bin/") + application
                                               : QString();
    }
    bool openURL(const QString& url) override {
        urls.append(url);
        return opensURLs;
    }

    bool opens = true;
    bool opensURLs = true;
    QStringList installed;
    std::function<void()> whileOpening;
    QStringList revealed, opened, urls;
};

// Answers the folder panel with a fixed folder; a null one cancels.
class ScriptedFolderPanel : public PanelPresenter {
public:
    explicit ScriptedFolderPanel(QString answer) : m_answer(std::move(answer)) { install(this); }
    ~ScriptedFolderPanel() override { install(nullptr); }
    QString chooseFolder(const QString&, const QString&) override {
        ++asked;
        return m_answer;
    }
    int asked = 0;

private:
    QString m_answer;
};
