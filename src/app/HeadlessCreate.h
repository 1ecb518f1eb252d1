#pragma once

#include <QStringList>
#include <memory>

class DocumentWindowInterface;
class MyDocument;
class PARDocumentController;

// velmora --headless [--json] --create NAME [--redundancy PERCENT | --volumes N] FILE...
// Gives the new document the files as the Add Files panel does, saves it as
// NAME in the files' folder after the save panel's checks, and so starts its
// creation run. Meant for unattended operation: alerts go to the log, and an
// existing file is never replaced.
class HeadlessCreate {
public:
    // A null `number` takes the save panel's default for the document's kind.
    // Answers the document, added to the controller and shown in the window,
    // with its creation run started (or at status 0 when the helper could not
    // start); or null with the reason in `error` when a file, the name or the
    // number is refused. Main thread.
    static std::shared_ptr<MyDocument> start(PARDocumentController& controller,
                                             DocumentWindowInterface* window,
                                             std::shared_ptr<MyDocument> document,
                                             const QString& name, const QString& number,
                                             const QStringList& files, QString* error);

private:
    static QString whyNotAddable(const MyDocument& document, const QString& path,
                                 const QString& folder);
};
