#pragma once

#include "platform/AlertPresenter.h"

// Shows alerts as application-modal QMessageBoxes.
class MessageBoxAlertPresenter : public AlertPresenter {
public:
    int runModal(const AlertRequest& request) override;
};
