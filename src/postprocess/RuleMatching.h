#pragma once

#include "document/FileStatus.h"
#include "postprocess/PostProcessRule.h"

#include <QList>
#include <optional>

// Chooses the post-processing rule for a set and the file it acts on.
class RuleMatching {
public:
    // The first rule, in list order, that has a qualifying file: one whose name
    // (the key's last path component) matches the rule and that the set holds
    // intact, under another name or repaired (1, 3, 9), as part of the set. The
    // map's order decides among the files of one rule. The target is cleared
    // first and set to that name when a rule is returned.
    static std::optional<PostProcessRule> FindApplicablePPRule(const QList<PostProcessRule>& rules,
                                                               const FileStatusMap& files,
                                                               QString* target);
    // Contains: the name holds the compare string (never an empty one); ends
    // with: the name ends with it. Literal comparison, ignoring case when the
    // rule says so.
    static bool nameMatches(const PostProcessRule& rule, const QString& name);
};
