#pragma once

#include <QString>
#include <optional>

// The password dialog: asks for the password of an archive entry, modally. The
// user interface installs one; without one no password is given. Main thread.
class UnrarPasswordPrompt {
public:
    virtual ~UnrarPasswordPrompt() = default;

    // The dialog shows the name's last path component. Null when the user
    // cancelled.
    virtual std::optional<QString> doItForFileName(const QString& fileName) = 0;

    static void install(UnrarPasswordPrompt* prompt);
    static UnrarPasswordPrompt* current();
};
