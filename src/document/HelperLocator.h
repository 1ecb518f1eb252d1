#pragma once

#include <QString>

// Finds the helper tools: <folder of the running program>/../libexec/velmora/<tool>,
// the same layout in the build tree and in an install. VELMORA_HELPERS_DIR
// overrides the folder (tests, unusual installs).
class HelperLocator {
public:
    static QString helpersFolder();
    static QString pathOf(const QString& toolName);
    // Empty when the tool is there and executable, else a text naming what is wrong.
    static QString problemWith(const QString& toolName);
};
