#pragma once

#include <QObject>
#include <functional>
#include <memory>

class MyDocument;
class PARDocumentController;
class SessionClosing;
class QAction;
class QMainWindow;
class QMenu;

// The menu bar of a document window: the application's commands (New, Open,
// Close All, Quit) and the set's own (verify again, stop, add, remove,
// post-process). The set's items are enabled each time their menu opens, from
// the document's own tests. Close All and Quit are always there: they ask
// before stopping work or dropping an unsaved set.
class ApplicationMenus : public QObject {
public:
    ApplicationMenus(QMainWindow* window, std::shared_ptr<MyDocument> document,
                     PARDocumentController& controller, SessionClosing& closing,
                     std::function<void()> openRequested);

    QAction* createAction() const { return m_create; }
    QAction* saveAsAction() const { return m_saveAs; }
    QAction* addFilesAction() const { return m_addFiles; }
    QAction* extractArchiveAction() const { return m_extractArchive; }
    // Puts an application command (Preferences) in the File menu, above Quit.
    void insertAboveQuit(QAction* action);

private:
    void buildFileMenu(QMainWindow* window);
    void buildSetMenu(QMainWindow* window);
    void updateFileMenu();
    void updateSetMenu();
    void updatePostProcessItem();

    std::weak_ptr<MyDocument> m_document;
    PARDocumentController& m_controller;
    SessionClosing& m_closing;
    std::function<void()> m_openRequested;
    QMenu* m_fileMenu = nullptr;
    QAction* m_closeAll = nullptr;
    QAction* m_create = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_extractArchive = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_retry = nullptr;
    QAction* m_abort = nullptr;
    QAction* m_addFiles = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_postProcess = nullptr;
};
