#pragma once

#include <QStringList>
#include <memory>

class DocumentWindowInterface;
class PAR1Document;
class PARDocumentController;

// velmora --headless [--json] --create NAME.par [--volumes N] FILE...
// Makes a new PAR 1 document from the files as the Add Files panel does, saves
// it as NAME in the files' folder after the save panel's checks, and so starts
// its creation run. Meant for unattended operation: alerts go to the log, and
// an existing file is never replaced.
class Par1HeadlessCreate {
public:
    // A null `volumes` takes the save panel's default (CalcDefaultNumberPnn).
    // Answers the document, added to the controller and shown in the window,
    // with its creation run started (or at status 0 when the helper could not
    // start); or null with the reason in `error` when a file, the name or the
    // number is refused. Main thread.
    static std::shared_ptr<PAR1Document> start(PARDocumentController& controller,
                                               DocumentWindowInterface* window, const QString& name,
                                               const QString& volumes, const QStringList& files,
                                               QString* error);

private:
    static QString whyNotAddable(const QString& path, const QString& folder);
};
