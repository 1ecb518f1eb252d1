#include "DialogOwner.h"

#include <QApplication>

namespace {
QPointer<QWidget> claimingWindow;
}

DialogOwner::DialogOwner(QWidget* window) : m_previous(claimingWindow) {
    claimingWindow = window;
}

DialogOwner::~DialogOwner() {
    claimingWindow = m_previous;
}

QWidget* DialogOwner::current() {
    if (claimingWindow && claimingWindow->isVisible())
        return claimingWindow;
    return QApplication::activeWindow();
}
