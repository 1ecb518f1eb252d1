#pragma once

#include <QString>

// Where the version list, the download page, the web page and the maker's mail
// box are. The build writes them into the "Global" string table; an empty
// address means there is no such place yet.
struct ReleaseAddresses {
    QString versionListURL;
    QString downloadURL;
    QString webPageURL;
    QString authorEmail;

    static ReleaseAddresses fromGlobalTable();
};
