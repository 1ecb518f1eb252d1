#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Finds the programs of a freedesktop desktop: desktop entries in the XDG
// "applications" folders, the default application of a MIME type from the
// mimeapps.list files, and executables on PATH. Works on any thread.
class DesktopApplications {
public:
    struct Application {
        QString name;        // the entry's Name, or the executable's file name
        QString desktopFile; // the entry's path; empty for a plain executable
        QStringList exec;    // the program and its arguments, field codes not yet expanded
    };

    // A program by name: a program's path; a desktop entry by its file name
    // ("org.gnome.FileRoller" with or without ".desktop") or by its Name
    // ("Archive Manager", also with ".desktop" or ".app" after it); else an
    // executable of that name on PATH.
    static std::optional<Application> find(const QString& name);
    // What a rule keeps of a program the user picked: its file name when
    // looking that name up finds this very program, else its full path, so the
    // rule finds it again later.
    static QString nameToKeep(const QString& chosenPath);
    // The desktop's default application for a MIME type or one of its aliases:
    // the first usable entry named for it in the mimeapps.list files, else the
    // first entry that lists the type.
    static std::optional<Application> defaultForMimeType(const QString& mimeType);
    // The program a post-processing rule names, for the file it acts on. "Stuffit
    // Expander", which the standard rules name and no Linux desktop has, stands
    // for unar, else for the default application of the file's MIME type.
    static std::optional<Application> forRule(const QString& program, const QString& filePath);

    // The command that opens the file: the entry's Exec line split into
    // arguments, its field codes expanded (%f %F the path, %u %U its URL, %c the
    // name, %k the entry's path, %% a percent sign; the others dropped); the path
    // is appended when the line has no file field code.
    static QStringList commandLine(const Application& application, const QString& filePath);
    // The full path of the program the command starts, or a null string when it
    // is not installed.
    static QString executablePath(const Application& application);

    // An Exec value split into arguments by the desktop entry quoting rules.
    static QStringList splitExec(const QString& exec);
};
