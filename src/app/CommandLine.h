#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// The program's command line, read once at start-up:
//   velmora [--new-par2 | --new-par1] [--set KEY=VALUE]... [--password-file FILE] [FILE...]
//   velmora --headless [--json] [options] FILE...
//   velmora --headless [--json] --create NAME [--redundancy P | --volumes N] FILE...
class CommandLine {
public:
    enum class Mode { Windows, Headless, Version, Help };

    // False on a usage error; problem() says what is wrong.
    bool parse(const QStringList& arguments);

    Mode mode() const { return m_mode; }
    bool json() const { return m_json; }
    bool events() const { return m_events; }
    bool recursive() const { return m_recursive; }
    QString createName() const { return m_create; }
    QString number() const { return m_number; }
    QString passwordFile() const { return m_passwordFile; }
    QList<QPair<QString, QVariant>> settings() const { return m_settings; }
    QStringList files() const { return m_files; }
    // --new-par1 / --new-par2: the type of an empty new set to open, else null.
    QString newDocumentType() const { return m_newDocumentType; }
    QString problem() const { return m_problem; }

    // Reads the password file and puts the --set values in place for this
    // process. False, with problem() set, when the password file is refused.
    bool applyToProcess();

    static const char* usage();

private:
    bool takeOption(const QString& option, const QString& value);
    bool addSetting(const QString& assignment);
    bool fail(const QString& problem);

    Mode m_mode = Mode::Windows;
    bool m_json = false;
    bool m_events = false;
    bool m_recursive = false;
    QString m_create;
    QString m_number;
    QString m_passwordFile;
    QList<QPair<QString, QVariant>> m_settings;
    QStringList m_files;
    QString m_newDocumentType;
    QString m_problem;
};
