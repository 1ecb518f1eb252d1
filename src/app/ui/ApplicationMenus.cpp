#include "ApplicationMenus.h"

#include "app/AfterRunActions.h"
#include "app/PARDocumentController.h"
#include "app/SessionClosing.h"
#include "document/MyDocument.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

ApplicationMenus::ApplicationMenus(QMainWindow* window, std::shared_ptr<MyDocument> document,
                                   PARDocumentController& controller, SessionClosing& closing,
                                   std::function<void()> openRequested)
    : QObject(window), m_document(document), m_controller(controller), m_closing(closing),
      m_openRequested(std::move(openRequested)) {
    buildFileMenu(window);
    buildSetMenu(window);
}

void ApplicationMenus::buildFileMenu(QMainWindow* window) {
    QMenu* menu = window->menuBar()->addMenu(tr("&File"));
    m_fileMenu = menu;
    menu->addAction(tr("New PAR &2 Set"), QKeySequence::New, this,
                    [this] { m_controller.onNewPar2(); });
    menu->addAction(tr("New PAR &1 Set"), QKeySequence(tr("Ctrl+Shift+N")), this,
                    [this] { m_controller.onNewPar1(); });
    menu->addAction(tr("&Open…"), QKeySequence::Open, this, [this] { m_openRequested(); });
    m_extractArchive =
        menu->addAction(tr("E&xtract RAR Archive…"), QKeySequence(tr("Ctrl+Shift+O")));
    menu->addSeparator();
    menu->addAction(tr("&Close"), QKeySequence::Close, window, &QWidget::close);
    m_closeAll = menu->addAction(tr("Close A&ll"), this, [this] { m_closing.closeAll(); });
    m_create = menu->addAction(tr("C&reate…"), QKeySequence::Save);
    m_saveAs = menu->addAction(tr("&Save As…"), QKeySequence::SaveAs);
    menu->addSeparator();
    m_quit = menu->addAction(tr("&Quit"), QKeySequence::Quit, this,
                             [this] { m_closing.quit([] { QApplication::quit(); }); });
    connect(menu, &QMenu::aboutToShow, this, &ApplicationMenus::updateFileMenu);
    // Their shortcuts must work once files are added without the menu opening
    // again; the document checks the commands when they run.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        m_create->setEnabled(true);
        m_saveAs->setEnabled(true);
    });
}

void ApplicationMenus::insertAboveQuit(QAction* action) {
    m_fileMenu->insertAction(m_quit, action);
    m_fileMenu->insertSeparator(m_quit);
}

void ApplicationMenus::buildSetMenu(QMainWindow* window) {
    QMenu* menu = window->menuBar()->addMenu(tr("&Set"));
    const auto onDocument = [this](void (MyDocument::*action)()) {
        return [this, action] {
            if (auto document = m_document.lock())
                (document.get()->*action)();
        };
    };
    m_retry = menu->addAction(tr("&Verify Again"), QKeySequence(tr("Ctrl+R")), this,
                              onDocument(&MyDocument::PerformRetryRecovery));
    m_abort = menu->addAction(tr("S&top"), QKeySequence(tr("Ctrl+.")), this,
                              onDocument(&MyDocument::PerformAbortAction));
    menu->addSeparator();
    m_addFiles = menu->addAction(tr("&Add Files…"), QKeySequence(tr("Ctrl+Shift+A")));
    m_remove = menu->addAction(tr("&Remove Selected Files"), QKeySequence::Delete, this,
                               onDocument(&MyDocument::PerformParRemove));
    menu->addSeparator();
    m_postProcess = menu->addAction(QString(), QKeySequence(tr("Ctrl+E")), this, [this] {
        if (auto document = m_document.lock(); document && AfterRunActions::of(*document))
            AfterRunActions::of(*document)->PerformPostProcessing();
    });
    updatePostProcessItem();
    connect(menu, &QMenu::aboutToShow, this, &ApplicationMenus::updateSetMenu);
}

void ApplicationMenus::updateFileMenu() {
    m_closeAll->setEnabled(!m_controller.documents().isEmpty());
    const auto document = m_document.lock();
    m_create->setEnabled(document && document->CanSaveDocumentAs());
    m_saveAs->setEnabled(document && document->CanSaveDocumentAs());
}

void ApplicationMenus::updateSetMenu() {
    const auto document = m_document.lock();
    const auto enabled = [&](DocumentAction action) {
        return document && document->validateToolbarOrMenuItem(action) == 1;
    };
    m_retry->setEnabled(enabled(DocumentAction::RetryRecovery));
    m_abort->setEnabled(enabled(DocumentAction::AbortAction));
    m_addFiles->setEnabled(enabled(DocumentAction::AddFile));
    m_remove->setEnabled(enabled(DocumentAction::ParRemove));
    updatePostProcessItem();
}

// The item names what it would do: the matching rule and its file, or the
// extraction of the set's archive.
void ApplicationMenus::updatePostProcessItem() {
    const auto document = m_document.lock();
    QString title;
    const AfterRunActions* actions = document ? AfterRunActions::of(*document) : nullptr;
    const bool enabled = actions != nullptr && actions->validatePostProcessing(&title);
    // A file name's ampersands are text, not mnemonics.
    m_postProcess->setText(title.replace(QLatin1Char('&'), QStringLiteral("&&")));
    m_postProcess->setEnabled(enabled);
}
