#pragma once

#include "platform/PanelPresenter.h"

// Folder choosers as Qt's own (non-native) file dialogs.
class FileDialogPanelPresenter : public PanelPresenter {
public:
    QString chooseFolder(const QString& title, const QString& prompt) override;
};
