#pragma once

#include "document/DocumentController.h"
#include "document/VLMError.h"
#include "postprocess/PostProcessRule.h"

#include <QList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <mutex>

class MyDocument;

// The application-wide document controller. Its initialiser writes the missing
// preference defaults and seeds or upgrades the stored post-processing rules.
// The rule-set operations may be called from any thread.
class PARDocumentController : public DocumentController {
public:
    PARDocumentController();
    ~PARDocumentController() override;

    // The controller of this process, or null before one exists.
    static PARDocumentController* sharedDocumentController();

    QList<PostProcessRule> ReadPPRulesSet();
    void SavePPRulesSet(const QList<PostProcessRule>& rules);
    static void SetStandardPPRules(QList<PostProcessRule>& rules);

    // Exclusive processing: by default one document at a time verifies, repairs
    // or extracts; the others wait in document-list order. Main thread only.
    bool anyDocIsProcessing() const override;
    void registerForStartExclusiveProcessing(Document* document) override;
    void scheduleNextExclusiveProcessing() override;
    unsigned numWaitingDocuments() const override;
    std::unique_ptr<DocumentAfterRun> makeAfterRunActions(MyDocument& document) override;

    // Opening and new documents. Main thread only.
    QString typeForContentsOfURL(const QString& location, VLMError* error) const;
    std::shared_ptr<Document> openDocumentWithContentsOfURL(const QString& location, bool display,
                                                            VLMError* error);
    QString defaultType() const;
    std::shared_ptr<MyDocument> onNewPar1();
    std::shared_ptr<MyDocument> onNewPar2();
    // A new set of the type ("PAR File" or "PAR2 File"), else of the preferred kind.
    std::shared_ptr<MyDocument> newDocumentOfType(const QString& type);
    void dismissStrayUntitledDoc();
    bool canCloseAll() const;
    void PerformCloseAll();

    // Shows a document in a window; set by the user interface (or a headless
    // run), called for every document opened with display or made new.
    using DisplayHandler = std::function<void(const std::shared_ptr<MyDocument>&)>;
    void setDisplayHandler(DisplayHandler handler) { m_displayHandler = std::move(handler); }

    // A click on one of the application's notifications.
    void didActivateNotification(const QVariantMap& userInfo) const;

private:
    std::shared_ptr<MyDocument> makeDocument(const QString& type) const;
    std::shared_ptr<Document> openRarArchive(const QString& path, VLMError* error);
    std::shared_ptr<MyDocument> openParDocument(const QString& path, const QString& type,
                                                bool display, VLMError* error);
    std::shared_ptr<MyDocument> newUntitledDocument(const QString& type);

    std::mutex mPPRulesIOLock;
    QString mEfectiveDefaultNewDocType;
    DisplayHandler m_displayHandler;
};
