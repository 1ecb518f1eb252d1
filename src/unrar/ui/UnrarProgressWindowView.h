#pragma once

#include "unrar/UnrarProgressView.h"

#include <QMetaObject>
#include <QPointer>
#include <memory>

class DialogOwner;
class UnrarProgressWindow;
class UnrarProgressionController;

// The controller's view of an UnrarProgressWindow. The controller may destroy
// this view from within its Cancel call, that is inside the window's own click
// handler, so the window is never deleted here but handed to deleteLater, and
// its cancel requests stop reaching the controller the moment the view goes.
class UnrarProgressWindowView : public UnrarProgressView {
public:
    UnrarProgressWindowView(UnrarProgressWindow* window, UnrarProgressionController& controller);
    ~UnrarProgressWindowView() override;
    UnrarProgressWindowView(const UnrarProgressWindowView&) = delete;
    UnrarProgressWindowView& operator=(const UnrarProgressWindowView&) = delete;

    void setStatusText(const QString& text) override;
    void setCurrentFileText(const QString& text) override;
    void setIndeterminate() override;
    void setProgress(double fraction) override;
    void runEnded() override;
    void close() override;
    void questionWillShow() override;
    void questionDidEnd() override;

private:
    void dismissWindow();

    // Null once the window has gone, with its document window for a sheet.
    QPointer<UnrarProgressWindow> m_window;
    QMetaObject::Connection m_cancelConnection;
    std::unique_ptr<DialogOwner> m_questionOwner;
};
