#pragma once

#include <QString>

// The desktop's file and program services. The application installs the
// desktop implementation (src/platform/ui); tests install recording ones. A
// workspace that offers an operation overrides it; the defaults can do nothing.
// Main thread only.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Shows the item selected in the file manager.
    virtual void revealInFileManager(const QString& path) = 0;

    // Opens the file with the desktop's default application for it.
    virtual bool openFile(const QString& path);
    // Opens the file with a named program: a desktop entry (its file name or its
    // Name), an executable on PATH, or a program's path.
    virtual bool openFileWithApplication(const QString& path, const QString& application);
    // The full path of the program that openFileWithApplication would start for
    // the file, or a null string when there is none.
    virtual QString fullPathForApplication(const QString& application, const QString& filePath);
    // Opens a web address in the default browser.
    virtual bool openURL(const QString& url);

    static void install(Workspace* workspace);
    static Workspace* current();
};
