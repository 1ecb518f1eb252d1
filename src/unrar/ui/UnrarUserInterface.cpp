#include "UnrarUserInterface.h"

UnrarUserInterface::UnrarUserInterface() {
    UnrarProgressPresenter::install(&m_progress);
    UnrarPasswordPrompt::install(&m_password);
}

UnrarUserInterface::~UnrarUserInterface() {
    if (UnrarProgressPresenter::current() == &m_progress)
        UnrarProgressPresenter::install(nullptr);
    if (UnrarPasswordPrompt::current() == &m_password)
        UnrarPasswordPrompt::install(nullptr);
}
