#pragma once

#include <QStringList>
#include <optional>

// Passwords given ahead of time (velmora --password-file FILE): every extraction
// of this process tries them in order before it asks or gives the unattended
// answer. Passwords are never logged or shown.
class UnrarPasswordList {
public:
    // One password per line (UTF-8; a line feed or CR LF ends a line; empty lines
    // are skipped). Refused, with the reason in problem, when the file is not a
    // regular file of the current user or when group or others have any access
    // to it. The reason never quotes the file's content.
    static std::optional<QStringList> readPasswordFile(const QString& path, QString* problem);

    static void setCandidates(const QStringList& passwords);
    static QStringList candidates();
};
