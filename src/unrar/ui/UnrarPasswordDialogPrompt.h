#pragma once

#include "unrar/UnrarPasswordPrompt.h"

// Asks for passwords with an UnrarPasswordController over the active window.
class UnrarPasswordDialogPrompt : public UnrarPasswordPrompt {
public:
    std::optional<QString> doItForFileName(const QString& fileName,
                                           const PasswordCheck& accepts) override;
};
