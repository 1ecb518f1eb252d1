#pragma once

#include <QList>
#include <memory>

class Document;

// The open documents, in the order they were opened or made. Main thread only.
class DocumentController {
public:
    virtual ~DocumentController() = default;

    void addDocument(const std::shared_ptr<Document>& document);
    void removeDocument(Document* document);
    QList<std::shared_ptr<Document>> documents() const { return m_documents; }

private:
    QList<std::shared_ptr<Document>> m_documents;
};
