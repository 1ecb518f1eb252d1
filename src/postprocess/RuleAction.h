#pragma once

class PostProcessRule;
class QString;

// Carries out a post-processing rule on one file of a set. Main thread only.
class RuleAction {
public:
    // Action 1 opens the file with its default application, action 2 with the
    // rule's program, action 3 runs the rule's command in a terminal; any other
    // action does nothing. Failures show a critical alert (logged in unattended
    // operation); the command's failure is reported when its script has ended.
    static void handleAutoPP(const PostProcessRule& rule, const QString& folder,
                             const QString& target);
};
