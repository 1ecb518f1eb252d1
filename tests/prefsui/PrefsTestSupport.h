#pragma once

#include "postprocess/ui/VLMEditPPRuleControllerDelegate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// Finds a named control of a window; fails the test when it is missing.
template <typename Control> Control* control(const QObject* window, const char* name) {
    Control* found = window->findChild<Control*>(QLatin1String(name));
    if (found == nullptr)
        ADD_FAILURE() << "no control " << name;
    return found;
}

inline void clickTag(const QObject* window, const char* group, int tag) {
    control<QButtonGroup>(window, group)->button(tag)->click();
}

inline int checkedTag(const QObject* window, const char* group) {
    return control<QButtonGroup>(window, group)->checkedId();
}

// Shows the window and gives it the keyboard focus, as a user's click would.
inline void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

inline void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Keeps what a rule editor handed back.
class RecordingRuleDelegate : public VLMEditPPRuleControllerDelegate {
public:
    void editPPRuleController(EditPPRuleController*,
                              const std::optional<PostProcessRule>& rule) override {
        ++endings;
        result = rule;
    }
    int endings = 0;
    std::optional<PostProcessRule> result;
};
