#pragma once

#include <QString>

// Facts about the running application and where its parts live.
class AppInfo {
public:
    static QString shortVersion();
    // The user's desktop folder, or the home folder when there is none.
    static QString desktopFolder();
};
