#pragma once

#include <QPointer>
#include <QWidget>

// The window that questions and dialogs shown now belong to. A window that asks
// on behalf of something it shows (an extraction's progress window) claims the
// questions for their duration; otherwise they go over the active window.
class DialogOwner {
public:
    explicit DialogOwner(QWidget* window);
    ~DialogOwner();
    DialogOwner(const DialogOwner&) = delete;
    DialogOwner& operator=(const DialogOwner&) = delete;

    // The claiming window, else the active one (null when there is none).
    static QWidget* current();

private:
    QPointer<QWidget> m_previous;
};
