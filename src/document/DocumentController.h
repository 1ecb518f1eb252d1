#pragma once

#include <QList>
#include <memory>

class Document;
class DocumentAfterRun;
class MyDocument;

// The open documents, in the order they were opened or made, and the turn each
// waits for before it may work. Main thread only.
class DocumentController {
public:
    DocumentController();
    virtual ~DocumentController();
    DocumentController(const DocumentController&) = delete;
    DocumentController& operator=(const DocumentController&) = delete;

    // The controller of this process, or null before one exists.
    static DocumentController* shared();

    void addDocument(const std::shared_ptr<Document>& document);
    void removeDocument(Document* document);
    QList<std::shared_ptr<Document>> documents() const { return m_documents; }

    // Exclusive processing: whether a document works now, a document asking for
    // its turn, and the request that hands the turn to the next one.
    virtual bool anyDocIsProcessing() const = 0;
    virtual void registerForStartExclusiveProcessing(Document* document) = 0;
    virtual void scheduleNextExclusiveProcessing() = 0;
    virtual unsigned numWaitingDocuments() const = 0;

    // The after-run actions of a PAR document being made.
    virtual std::unique_ptr<DocumentAfterRun> makeAfterRunActions(MyDocument& document) = 0;

private:
    QList<std::shared_ptr<Document>> m_documents;
};
