#pragma once

#include <QString>
#include <functional>
#include <optional>

// The password dialog: asks for the password of an archive entry, modally. The
// user interface installs one; without one no password is given. Main thread.
class UnrarPasswordPrompt {
public:
    virtual ~UnrarPasswordPrompt() = default;

    // False only when the archive certainly refuses the password.
    using PasswordCheck = std::function<bool(const QString& password)>;

    // The dialog shows the name's last path component. A password the check
    // refuses is asked for again, with a word that it was not correct, until the
    // check accepts one or the user cancels. Null when the user cancelled.
    virtual std::optional<QString> doItForFileName(const QString& fileName,
                                                   const PasswordCheck& accepts) = 0;

    static void install(UnrarPasswordPrompt* prompt);
    static UnrarPasswordPrompt* current();
};
