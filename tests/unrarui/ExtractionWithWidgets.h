#pragma once

#include "EventLoopWait.h"
#include "ScriptedAlertPresenter.h"
#include "unrar/UnrarNotifications.h"
#include "unrar/UnrarProgressionController.h"
#include "unrar/VLMUnrarProgressionControllerDelegate.h"
#include "unrar/ui/UnrarUserInterface.h"

#include <QApplication>
#include <QPointer>
#include <memory>

// One extraction as a document runs it, with the real progress window and
// password dialog: the delegate owns the controller and drops it when told
// that it has ended, as documents do. Alerts and notifications are recorded.
class ExtractionWithWidgets : public VLMUnrarProgressionControllerDelegate,
                              public UnrarNotifications {
public:
    ExtractionWithWidgets() : controller(UnrarProgressionController::create()) {
        controller->setDelegate(this);
        UnrarNotifications::install(this);
    }
    ~ExtractionWithWidgets() override { UnrarNotifications::install(nullptr); }

    void unrarSucceeded() override { ++succeeded; }
    void unrarFinished() override { ++finished; }
    void unrarProgressionControllerDidEnd(UnrarProgressionController* ended) override {
        result = ended->result();
        ++didEnd;
        controller.reset();
    }
    void deliverNotification(const QString& title, const QString&, const QString&,
                             const QVariantMap&) override {
        notices.append(title);
    }

    bool waitForEnd() {
        return spinUntil([this] { return didEnd > 0; }, 120000);
    }

    UnrarUserInterface widgets;
    ScriptedAlertPresenter alerts;
    std::shared_ptr<UnrarProgressionController> controller;
    int succeeded = 0;
    int finished = 0;
    int didEnd = 0;
    UnrarResult result;
    QStringList notices;
};

// The one visible top-level widget of the type, or null.
template <typename Widget> Widget* visibleTopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<Widget*>(widget); found != nullptr && found->isVisible())
            return found;
    }
    return nullptr;
}
