#pragma once

#include "platform/AlertPresenter.h"

#include <QList>

// Answers alerts from a script and records what was asked. Installs itself for
// its lifetime. Once the script is used up it answers with the default button.
class ScriptedAlertPresenter : public AlertPresenter {
public:
    explicit ScriptedAlertPresenter(QList<int> answers = {});
    ~ScriptedAlertPresenter() override;

    int runModal(const AlertRequest& request) override;

    QList<AlertRequest> shown;

private:
    QList<int> m_answers;
};
