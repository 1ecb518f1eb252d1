#include "DocumentController.h"

#include "Document.h"

void DocumentController::addDocument(const std::shared_ptr<Document>& document) {
    document->setController(this);
    m_documents.append(document);
}

void DocumentController::removeDocument(Document* document) {
    m_documents.removeIf(
        [document](const std::shared_ptr<Document>& d) { return d.get() == document; });
}
