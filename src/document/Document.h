#pragma once

#include <QString>
#include <memory>

class DocumentController;

// A document of the application: one opened or new file, shown in one window.
// Documents are shared: the controller's list holds them, and so do threads
// that work for them, so a closed document lives until its last thread is done.
// Everything here runs on the main thread unless noted.
class Document : public std::enable_shared_from_this<Document> {
public:
    enum class ChangeKind { Done, Cleared };

    virtual ~Document() = default;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& path) { m_fileName = path; }
    QString fileType() const { return m_fileType; }
    void setFileType(const QString& type) { m_fileType = type; }

    bool isDocumentEdited() const { return m_changeCount != 0; }
    void updateChangeCount(ChangeKind kind);

    // The scheduler's view of a document.
    virtual bool isProcessing() const { return false; }
    virtual bool isWaitingForExclusiveProcessing() const { return false; }
    virtual void startExclusiveProcessing() {}

    virtual bool canClose() const { return true; }
    // Leaves the controller's list; the object goes when the last owner lets go.
    virtual void close();
    bool isClosed() const { return m_closed; }

    DocumentController* controller() const { return m_controller; }
    void setController(DocumentController* controller) { m_controller = controller; }

private:
    QString m_fileName;
    QString m_fileType;
    int m_changeCount = 0;
    bool m_closed = false;
    DocumentController* m_controller = nullptr;
};
