#include "MacroSubstitution.h"

#include "postprocess/PostProcessRule.h"

#include <QFile>
#include <QStringList>

namespace {

constexpr char16_t kPilcrow = u'\u00B6';
// The order in which the tokens are marked; it matters only for tokens that
// overlap, which these cannot.
constexpr char16_t kLetters[] = {u'A', u'F', u'E', u'L', u'K', u'D'};

QString token(QChar letter) {
    return QString(QChar(u'\u00AB')) + letter + QChar(u'\u00BB');
}

// Characters that a backslash must protect inside a double-quoted sh string.
QString escapedForDoubleQuotes(const QString& text, bool keepBackslashes) {
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'"' || c == u'$' || c == u'`' || (c == u'\\' && !keepBackslashes))
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

QString singleQuoted(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

QString lastComponent(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// Removes the last dot of the name and what follows; a name whose only dot
// starts it has no extension.
QString withoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

QString MacroSubstitution::variableName(QChar letter) {
    return QStringLiteral("velmora_") + letter;
}

QString MacroSubstitution::macroValue(QChar letter, const QString& targetPath,
                                      const PostProcessRule& rule) {
    const QString name = lastComponent(targetPath);
    switch (letter.unicode()) {
    case u'F':
        return targetPath;
    case u'D':
        return folderOf(targetPath);
    case u'L':
        return name;
    case u'K':
        return withoutExtension(name);
    case u'E':
        return targetPath.left(targetPath.size() - name.size()) + withoutExtension(name);
    case u'A': {
        const QString suffix = rule.mCompareString();
        if (rule.mFilenameRelation() == PostProcessRule::EndsWith && name.size() >= suffix.size())
            return name.chopped(suffix.size());
        return name;
    }
    default:
        return QString();
    }
}

QString MacroSubstitution::SubstituteMacros(const QString& command, const QString& targetPath,
                                            const PostProcessRule& rule) {
    QString marked = command;
    for (const char16_t letter : kLetters)
        marked.replace(token(letter), kPilcrow + token(letter) + kPilcrow);
    QString definitions;
    QString body;
    QString defined;
    for (const QString& piece : marked.split(kPilcrow)) {
        const bool isToken = piece.size() == 3 && piece == token(piece[1]) &&
                             QStringView(kLetters, std::size(kLetters)).contains(piece[1]);
        if (!isToken) {
            body += piece;
            continue;
        }
        const QChar letter = piece[1];
        body += QStringLiteral("\\\"\\$") + variableName(letter) + QStringLiteral("\\\"");
        if (!defined.contains(letter)) {
            defined += letter;
            definitions +=
                variableName(letter) + u'=' +
                escapedForDoubleQuotes(singleQuoted(macroValue(letter, targetPath, rule)), false) +
                u'\n';
        }
    }
    return definitions + body;
}

QString MacroSubstitution::MakeAppleScriptFromCommand(const PostProcessRule& rule,
                                                      const QString& targetPath) {
    const QString command =
        SubstituteMacros(escapedForDoubleQuotes(rule.mAppOrCommand(), true), targetPath, rule);
    QString script = terminalScriptTemplate();
    script.replace(QLatin1String("%1"), command);
    return script;
}

QString MacroSubstitution::terminalScriptTemplate() {
    QFile file(QStringLiteral(":/postprocess/TerminalScript.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
