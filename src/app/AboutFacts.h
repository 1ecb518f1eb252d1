#pragma once

#include <QList>
#include <QString>

// What the About window tells: the helper tools this program would run, with
// their versions, and where the user guide and the licence text are.
class AboutFacts {
public:
    struct Tool {
        QString name;    // "par2cmdline"
        QString path;    // where it is looked for
        QString version; // its own version line; empty when it does not tell
        bool found = false;
    };

    // Runs each helper for its version (two seconds at most each). Main thread.
    static QList<Tool> helperTools();
    // The version of the UnRAR library's interface, as the library reports it.
    static int unrarInterfaceVersion();
    // The installed file, or a null string when there is none.
    static QString userGuidePath();
    static QString licencePath();
    // The folder of documentation next to the program: <prefix>/share/doc/velmora.
    static QString documentationFolder();
};
