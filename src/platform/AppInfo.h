#pragma once

#include <QString>

// Facts about the running application and where its parts live.
class AppInfo {
public:
    static QString shortVersion();
    // The reverse-DNS name of the desktop entry, the metainfo and the D-Bus service.
    static inline const QString applicationId = QStringLiteral("org.velmora.Velmora");
    // The user's desktop folder, or the home folder when there is none.
    static QString desktopFolder();
};
