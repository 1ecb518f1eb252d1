#include "RuleMatching.h"

namespace {

bool qualifies(const FileStatus& record) {
    const int32_t code = record.fileStatus();
    return record.fileInVolumeSet() &&
           (code == FileCode::Intact || code == FileCode::FoundUnderOtherName ||
            code == FileCode::Repaired);
}

} // namespace

bool RuleMatching::nameMatches(const PostProcessRule& rule, const QString& name) {
    const QString compare = rule.mCompareString();
    const Qt::CaseSensitivity sensitivity =
        rule.mCaseInsensitive() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    switch (rule.mFilenameRelation()) {
    case PostProcessRule::Contains:
        return !compare.isEmpty() && name.contains(compare, sensitivity);
    case PostProcessRule::EndsWith:
        return name.size() >= compare.size() &&
               QStringView(name).right(compare.size()).compare(compare, sensitivity) == 0;
    default:
        return false;
    }
}

std::optional<PostProcessRule>
RuleMatching::FindApplicablePPRule(const QList<PostProcessRule>& rules, const FileStatusMap& files,
                                   QString* target) {
    if (target != nullptr)
        *target = QString();
    for (const PostProcessRule& rule : rules) {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString name = it.key().mid(it.key().lastIndexOf(u'/') + 1);
            if (!nameMatches(rule, name) || !qualifies(it.value()))
                continue;
            if (target != nullptr)
                *target = name;
            return rule;
        }
    }
    return std::nullopt;
}
