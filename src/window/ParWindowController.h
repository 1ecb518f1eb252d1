#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class MyDocument;
class ParWindow;
class QCloseEvent;
class VelmoraController;

// The window controller of a PAR document: makes the document window, shows
// the document in it, titles it with the set's PAR version, enables and routes
// the toolbar's commands and decides about closing.
//
// Commands that belong to the application (open, preferences) are signals; an
// item whose signal nobody receives stays disabled. The others go to the document. The controller
// lives until its window has closed (then it deletes itself) or until it is deleted; it detaches
// itself from the document first.
class ParWindowController : public QObject {
    Q_OBJECT

public:
    static constexpr int kValidationIntervalMs = 300;
    // A window that would open over another moves this far right and down.
    static constexpr int kCascadeOffset = 24;
    static constexpr int kMaxCascadeSteps = 20;
    // Runs when the user closes a window that may close: answers false to keep
    // it open. The default closes the document.
    using CloseHandler = std::function<bool(MyDocument&)>;

    explicit ParWindowController(std::shared_ptr<MyDocument> document);
    ~ParWindowController() override;

    // "set.par2 (PAR 2)"; parType 0 leaves the name as it is.
    static QString windowTitleForDocumentDisplayName(const QString& displayName, int parType);
    // "1st", "2nd", "3rd", "11th", "22nd".
    static QString ordinal(int number);
    // The folder with the home folder written as "~".
    static QString homeAbbreviated(const QString& folder);

    // Shows the window, lets the document show its state in it and start its
    // first run. Connect the signals before.
    void showWindow();
    // The document closed on its own: the window goes without asking.
    void documentDidClose();
    void setCloseHandler(CloseHandler handler) { m_closeHandler = std::move(handler); }

    ParWindow* window() const { return m_window.get(); }
    VelmoraController* velmoraController() const { return m_velmora; }
    MyDocument* document() const { return m_document.get(); }
    int parType() const { return mParType; }

    // Toolbar commands by action name ("PerformAbortAction:").
    bool validateToolbarItem(const QString& action) const;
    void performAction(const QString& action);
    void validateToolbarItems();

signals:
    void openDocumentRequested();
    void preferencesRequested();

private:
    bool isReceived(void (ParWindowController::*signal)()) const;
    void windowCloseRequested(QCloseEvent* event);
    void finishClosing();
    QString displayName() const;
    void explainRetryRecovery();
    QString windowTitle() const;
    bool anotherSetHasTheSameName() const;
    void cascadeFromOpenWindows();
    void showPlaceInLine();

    std::shared_ptr<MyDocument> m_document;
    int mParType;
    std::unique_ptr<ParWindow> m_window;
    VelmoraController* m_velmora;
    QTimer m_validationTimer;
    CloseHandler m_closeHandler;
    bool m_closing = false;
};
