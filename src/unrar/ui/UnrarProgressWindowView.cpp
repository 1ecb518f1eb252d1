#include "UnrarProgressWindowView.h"

#include "platform/ui/DialogOwner.h"
#include "unrar/UnrarProgressionController.h"
#include "unrar/ui/UnrarProgressWindow.h"

UnrarProgressWindowView::UnrarProgressWindowView(UnrarProgressWindow* window,
                                                 UnrarProgressionController& controller)
    : m_window(window) {
    UnrarProgressionController* target = &controller;
    m_cancelConnection = QObject::connect(window, &UnrarProgressWindow::cancelRequested, window,
                                          [target] { target->onCancelButton(); });
}

UnrarProgressWindowView::~UnrarProgressWindowView() {
    QObject::disconnect(m_cancelConnection);
    dismissWindow();
}

void UnrarProgressWindowView::setStatusText(const QString& text) {
    if (m_window)
        m_window->setStatusText(text);
}

void UnrarProgressWindowView::setCurrentFileText(const QString& text) {
    if (m_window)
        m_window->setCurrentFileText(text);
}

void UnrarProgressWindowView::setIndeterminate() {
    if (m_window)
        m_window->setIndeterminate();
}

void UnrarProgressWindowView::setProgress(double fraction) {
    if (m_window)
        m_window->setProgress(fraction);
}

void UnrarProgressWindowView::runEnded() {
    if (m_window)
        m_window->runEnded();
}

void UnrarProgressWindowView::close() {
    dismissWindow();
}

// Closing ends a sheet's modality at once, and a window of its own that was
// the application's last one ends the application (hiding would leave it
// running with nothing on screen). The widgets go once the current event
// (perhaps the Cancel click) is over.
void UnrarProgressWindowView::dismissWindow() {
    if (!m_window)
        return;
    QObject::disconnect(m_cancelConnection);
    m_window->runEnded();
    m_window->close();
    m_window->deleteLater();
    m_window = nullptr;
}

void UnrarProgressWindowView::questionWillShow() {
    m_questionOwner = std::make_unique<DialogOwner>(m_window.data());
}

// The question's end may activate the document window; the progress window
// is raised again so it does not disappear behind it.
void UnrarProgressWindowView::questionDidEnd() {
    m_questionOwner.reset();
    if (m_window && m_window->isVisible()) {
        m_window->raise();
        m_window->activateWindow();
    }
}
