#pragma once

#include <QChar>
#include <QString>

class PostProcessRule;

// Turns a command-line rule into the /bin/sh script that runs it in a terminal.
//
// Macro tokens are «F» (the target's path), «D» (its folder), «L» (its name),
// «K» (the name without extension), «E» (the path without extension) and «A»
// (the name without the compare string of an ends-with rule). A token never
// puts a file name into the command text: it becomes a double-quoted reference
// to a shell variable, and the variable is set at the start of the command from
// a single-quoted copy of the value. So no name, whatever it holds (quotes,
// backslashes, $, backquotes, ;, newlines, leading dashes), can end a quoting or
// run anything; the command receives it as one literal argument.
class MacroSubstitution {
public:
    // The value a token letter stands for, for the target file's full path.
    static QString macroValue(QChar letter, const QString& targetPath, const PostProcessRule& rule);
    // The command text with its tokens replaced. Tokens are found anywhere, also
    // inside words; every pilcrow (¶) typed into the command disappears. The
    // text is meant for the template's double-quoted string, so the result opens
    // with one line per token kind used that sets its variable.
    static QString SubstituteMacros(const QString& command, const QString& targetPath,
                                    const PostProcessRule& rule);
    // The rule's command, its double quotes, $ and backquotes escaped for the
    // template's string (so they act in the terminal, not while the script is
    // made), its tokens substituted, put into the terminal template in place of
    // every %1. A missing template gives an empty text.
    static QString MakeAppleScriptFromCommand(const PostProcessRule& rule,
                                              const QString& targetPath);
    // The resource TerminalScript.txt.
    static QString terminalScriptTemplate();
    // The name of the shell variable that holds a token's value.
    static QString variableName(QChar letter);
};
