#pragma once

#include <QStringList>
#include <memory>

class DocumentWindowInterface;
class PAR2Document;
class PARDocumentController;

// velmora --headless [--json] --create NAME.par2 [--redundancy PERCENT] FILE...
// Makes a new PAR 2 document from the files as the Add Files panel does, saves
// it as NAME in the files' folder after the save panel's checks, and so starts
// its creation run. Meant for unattended operation: alerts go to the log, and
// an existing file is never replaced.
class HeadlessCreate {
public:
    // A null `redundancy` takes the save panel's default ("Par2Redundancy").
    // Answers the document, added to the controller and shown in the window,
    // with its creation run started (or at status 0 when the helper could not
    // start); or null with the reason in `error` when a file, the name or the
    // number is refused. Main thread.
    static std::shared_ptr<PAR2Document> start(PARDocumentController& controller,
                                               DocumentWindowInterface* window, const QString& name,
                                               const QString& redundancy, const QStringList& files,
                                               QString* error);

private:
    static QString whyNotAddable(const QString& path, const QString& folder);
};
