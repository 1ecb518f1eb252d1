#include "UnrarProgressWindowView.h"

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

// Hiding ends a sheet's modality at once; the widgets go once the current
// event (perhaps the Cancel click) is over.
void UnrarProgressWindowView::dismissWindow() {
    if (!m_window)
        return;
    m_window->hide();
    m_window->deleteLater();
    m_window = nullptr;
}
