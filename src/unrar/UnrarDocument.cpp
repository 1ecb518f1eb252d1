#include "UnrarDocument.h"

#include "app/DocumentTypes.h"
#include "app/PARDocumentController.h"
#include "document/MyDocument.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "preferences/PreferenceKeys.h"
#include "unrar/UnrarProgressionController.h"

#include <QFileInfo>

UnrarDocument::~UnrarDocument() {
    if (m_Controller)
        m_Controller->setDelegate(nullptr);
}

PARDocumentController* UnrarDocument::parDocumentController() const {
    if (auto* controller = dynamic_cast<PARDocumentController*>(Document::controller()))
        return controller;
    return PARDocumentController::sharedDocumentController();
}

bool UnrarDocument::readFromFile(const QString& path, const QString& type) {
    setFileName(path);
    setFileType(type);
    if (type != DocumentTypes::Rar)
        return true;
    const int determination = Preferences::integerForKey(PrefKey::UnrarDestinationDetermination);
    if (determination == DestinationValue::AskEachTime &&
        !Preferences::boolForKey(PrefKey::UnattendedOperation)) {
        PARDocumentController* controller = parDocumentController();
        m_OutputDir = controller != nullptr ? controller->GetUnrarOutputDir() : QString();
        return !m_OutputDir.isNull();
    }
    if (determination == DestinationValue::FixedFolder)
        m_OutputDir = PARDocumentController::blessedUnrarDestination();
    return true;
}

void UnrarDocument::DoIt() {
    m_unrarInProgress = UnrarState::Waiting;
    m_Controller = UnrarProgressionController::create();
    m_Controller->setDelegate(this);
    m_Controller->setupForUnrarDocument(QFileInfo(fileName()).absoluteFilePath(), m_OutputDir);
    m_OutputDir = QString();
    if (PARDocumentController* controller = parDocumentController())
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
            if (auto* controller = PARDocumentController::sharedDocumentController())
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
