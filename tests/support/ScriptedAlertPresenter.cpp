#include "ScriptedAlertPresenter.h"

ScriptedAlertPresenter::ScriptedAlertPresenter(QList<int> answers) : m_answers(std::move(answers)) {
    AlertPresenter::install(this);
}

ScriptedAlertPresenter::~ScriptedAlertPresenter() {
    if (AlertPresenter::current() == this)
        AlertPresenter::install(nullptr);
}

int ScriptedAlertPresenter::runModal(const AlertRequest& request) {
    shown.append(request);
    return m_answers.isEmpty() ? kAlertDefaultReturn : m_answers.takeFirst();
}
