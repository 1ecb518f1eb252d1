#pragma once

#include "unrar/ui/UnrarPasswordDialogPrompt.h"
#include "unrar/ui/UnrarProgressWindowPresenter.h"

// The widgets of extractions for a windowed run: installs the progress window
// presenter and the password dialog for its lifetime.
class UnrarUserInterface {
public:
    UnrarUserInterface();
    ~UnrarUserInterface();
    UnrarUserInterface(const UnrarUserInterface&) = delete;
    UnrarUserInterface& operator=(const UnrarUserInterface&) = delete;

private:
    UnrarProgressWindowPresenter m_progress;
    UnrarPasswordDialogPrompt m_password;
};
