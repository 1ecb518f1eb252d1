#pragma once

#include <QByteArray>
#include <QString>
#include <QVersionNumber>
#include <optional>

// The version list on the release server: a property list (XML or binary)
// whose top-level dictionary names the newest version under "Velmora" and may
// carry a ready message under "VelmoraPrompt".
class VersionList {
public:
    // A version list is a few hundred bytes; anything larger is not one.
    static constexpr qsizetype kMaximumSize = 1 << 20;

    // Nothing when the data are no property list, its top level is no
    // dictionary, or it names no version: such a list says nothing about
    // whether a newer version exists.
    static std::optional<VersionList> parse(const QByteArray& data);

    QString newestVersion() const { return m_newestVersion; }
    QString prompt() const { return m_prompt; }
    // Compared as version numbers: 1.10 is newer than 1.9, and 1.2 equals 1.2.0.
    bool isNewerThan(const QString& runningVersion) const;

private:
    VersionList(const QString& newestVersion, const QString& prompt);

    QString m_newestVersion;
    QString m_prompt;
};
