#pragma once

#include <QString>

// The window, or the sheet on a document window, that shows one extraction.
// Made by the UnrarProgressPresenter; its Cancel button calls the controller's
// onCancelButton. The controller may destroy the view from within that call, so
// a widget implementation deletes its widgets later (deleteLater). Main thread.
class UnrarProgressView {
public:
    virtual ~UnrarProgressView() = default;

    virtual void setStatusText(const QString& text) = 0;
    virtual void setCurrentFileText(const QString& text) = 0;
    // The bar animates without a value (while the archive is listed and the
    // output placed).
    virtual void setIndeterminate() = 0;
    // A value from 0 to 1; the bar becomes determinate.
    virtual void setProgress(double fraction) = 0;
    // The run is over: Cancel does nothing any more and the bar stops.
    virtual void runEnded() = 0;
    // Closes the window or ends the sheet.
    virtual void close() = 0;
    // A question about this extraction (password, existing output) is about to
    // show: it belongs over this view. Afterwards the view comes to the front again.
    virtual void questionWillShow() {}
    virtual void questionDidEnd() {}
};
