#pragma once

#include <QString>
#include <optional>

// Where an extraction writes, as the preferences decide it.
class UnrarDestination {
public:
    // The folder the user picks in the panel, or a null string when canceled.
    static QString askForFolder();
    // The preferences' fixed folder while it still is a folder, else a null string.
    static QString fixedFolder();
    // The destination of a new extraction: a null string puts the output beside
    // the archive; no value means the user canceled the question.
    static std::optional<QString> forNewExtraction();
};
