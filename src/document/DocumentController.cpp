#include "DocumentController.h"

#include "Document.h"

namespace {
DocumentController* sharedController = nullptr;
}

DocumentController::DocumentController() {
    sharedController = this;
}

DocumentController::~DocumentController() {
    if (sharedController == this)
        sharedController = nullptr;
}

DocumentController* DocumentController::shared() {
    return sharedController;
}

void DocumentController::addDocument(const std::shared_ptr<Document>& document) {
    document->setController(this);
    m_documents.append(document);
}

void DocumentController::removeDocument(Document* document) {
    m_documents.removeIf(
        [document](const std::shared_ptr<Document>& d) { return d.get() == document; });
}
