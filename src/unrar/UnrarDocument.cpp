#include "UnrarDocument.h"

#include "document/DocumentController.h"
#include "document/DocumentTypes.h"
#include "document/MyDocument.h"
#include "platform/MainThread.h"
#include "unrar/UnrarDestination.h"
#include "unrar/UnrarProgressionController.h"

#include <QFileInfo>

UnrarDocument::~UnrarDocument() {
    if (m_Controller)
        m_Controller->setDelegate(nullptr);
}

DocumentController* UnrarDocument::documentController() const {
    if (DocumentController* controller = Document::controller())
        return controller;
    return DocumentController::shared();
}

bool UnrarDocument::readFromFile(const QString& path, const QString& type) {
    setFileName(path);
    setFileType(type);
    if (type != DocumentTypes::Rar)
        return true;
    const std::optional<QString> destination = UnrarDestination::forNewExtraction();
    m_OutputDir = destination.value_or(QString());
    return destination.has_value();
}

void UnrarDocument::DoIt() {
    m_unrarInProgress = UnrarState::Waiting;
    m_Controller = UnrarProgressionController::create();
    m_Controller->setDelegate(this);
    m_Controller->setupForUnrarDocument(QFileInfo(fileName()).absoluteFilePath(), m_OutputDir);
    m_OutputDir = QString();
    if (DocumentController* controller = documentController())
        controller->registerForStartExclusiveProcessing(this);
}

void UnrarDocument::startExclusiveProcessing() {
    if (m_unrarInProgress != UnrarState::Waiting || !m_Controller)
        return;
    m_unrarInProgress = UnrarState::Running;
    m_Controller->startExclusiveProcessing();
}

bool UnrarDocument::isProcessing() const {
    return m_unrarInProgress == UnrarState::Running;
}

bool UnrarDocument::isWaitingForExclusiveProcessing() const {
    return m_unrarInProgress == UnrarState::Waiting;
}

void UnrarDocument::unrarFinished() {
    // Closing may drop the last owner of this document; it lives to the end of
    // this call.
    const std::shared_ptr<Document> keep = shared_from_this();
    if (m_Controller)
        m_result = m_Controller->result();
    const bool hadStarted = m_unrarInProgress.exchange(UnrarState::None) == UnrarState::Running;
    if (hadStarted) {
        MainThread::post([] {
            if (DocumentController* controller = DocumentController::shared())
                controller->scheduleNextExclusiveProcessing();
        });
    }
    close();
}

void UnrarDocument::unrarProgressionControllerDidEnd(UnrarProgressionController* controller) {
    if (m_Controller.get() == controller) {
        m_Controller->setDelegate(nullptr);
        m_Controller.reset();
    }
}
