#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// One post-processing rule: which file names it matches and what it does with
// the matching file. Immutable; editing makes a new rule.
class PostProcessRule {
public:
    enum FilenameRelation : int32_t { NoRelation = 0, Contains = 1, EndsWith = 2 };
    enum ActionType : int32_t { OpenWithDefault = 1, OpenWithProgram = 2, RunCommandLine = 3 };

    static constexpr int32_t classVersion() { return 2; }

    PostProcessRule(const QString& description, int32_t filenameRelation,
                    const QString& compareString, bool caseInsensitive, int32_t actionType,
                    const QString& appOrCommand, const QString& url);

    static PostProcessRule NewPostProcessRule(const QString& description, int32_t filenameRelation,
                                              const QString& compareString, bool caseInsensitive,
                                              int32_t actionType, const QString& appOrCommand,
                                              const QString& url) {
        return {
            description, filenameRelation, compareString, caseInsensitive, actionType, appOrCommand,
            url};
    }

    QString mDescription() const { return m_description; }
    int32_t mFilenameRelation() const { return m_filenameRelation; }
    QString mCompareString() const { return m_compareString; }
    bool mCaseInsensitive() const { return m_caseInsensitive; }
    int32_t mActionType() const { return m_actionType; }
    QString mAppOrCommand() const { return m_appOrCommand; }
    QString mURL() const { return m_url; }
    // -1 for a rule made in memory, else the version of the archive it came from.
    int32_t mArchiveVersion() const { return m_archiveVersion; }

    // One rule as one self-contained blob, always written in the class version.
    QByteArray archived() const;
    // Nothing for a corrupt blob or one written by a newer version.
    static std::optional<PostProcessRule> unarchived(const QByteArray& blob);

    // Description, URL and archive version do not take part.
    bool operator==(const PostProcessRule& other) const;
    uint32_t hash() const;

private:
    QString m_description;
    int32_t m_filenameRelation;
    QString m_compareString;
    bool m_caseInsensitive;
    int32_t m_actionType;
    QString m_appOrCommand;
    QString m_url;
    int32_t m_archiveVersion = -1;
};
