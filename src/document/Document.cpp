#include "Document.h"

#include "DocumentController.h"

void Document::updateChangeCount(ChangeKind kind) {
    m_changeCount = kind == ChangeKind::Done ? m_changeCount + 1 : 0;
}

void Document::close() {
    if (m_closed)
        return;
    m_closed = true;
    if (m_controller != nullptr)
        m_controller->removeDocument(this);
}
