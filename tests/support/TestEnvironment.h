#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// Points HOME and the XDG folders at a private temporary folder, so a test
// never reads or writes the real user's store, desktop or trash.
class TestEnvironment {
public:
    static void setUp();
    static QString root();
    // A fresh, empty folder below the private root.
    static QString makeFolder(const QString& name);
};
