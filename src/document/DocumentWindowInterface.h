#pragma once

#include "document/FileStatusChanges.h"

#include <QStringList>
#include <cstdint>

class MyDocument;

// What a PAR document needs from the window that shows it. Every call arrives
// on the main thread; the document never hands out its own maps, only copies of what changed.
class DocumentWindowInterface {
public:
    virtual ~DocumentWindowInterface() = default;

    // A window that shows no files (a headless run) is sent no records at all.
    virtual bool showsFiles() const { return true; }
    // The records that changed since the last call (all of them at the first).
    virtual void FileStatusChanged(MyDocument* document, const DocumentFileChanges& changes,
                                   const QString& emphasizeKey) = 0;
    virtual void StatusChanged(MyDocument* document, int32_t newStatus) = 0;
    virtual void ProgressionChanged(MyDocument* document, int32_t newProgression) = 0;
    // The whole output text (a new run, or the end of one).
    virtual void ParOutputChanged(MyDocument* document, const QString& output) = 0;
    // Text that the helper added since the last call.
    virtual void ParOutputAppended(MyDocument* document, const QString& addedText) = 0;
    virtual void RefreshUI() = 0;
    // The user asked to stop the run; it ends a moment later.
    virtual void StopRequested(MyDocument* /*document*/) {}
    // What the after-run actions did, and the file or folder it is about (empty
    // when there is nothing to show in the file manager).
    virtual void ResultChanged(MyDocument* /*document*/, const QString& /*text*/,
                               const QString& /*path*/) {}

    virtual QStringList SelectedFiles() const = 0;
    virtual int NumSelectedFiles() const = 0;
    virtual void NoSelection() = 0;

    virtual void setCloseButtonEnabled(bool enabled) = 0;
    virtual void showWindows() = 0;
    // The document has closed (on its own or by a command): the window goes.
    virtual void documentDidClose() = 0;
};
