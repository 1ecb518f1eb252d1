#include "CommandLine.h"

#include "document/DocumentTypes.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "unrar/UnrarPasswordList.h"

#include <array>
#include <optional>

namespace {

// The preferences a script may set for one run; the rule list and the window
// geometry are not plain values.
bool isSettableKey(const QString& key) {
    static const std::array keys = {
        &PrefKey::NumMethod,
        &PrefKey::EveryXFilesValue,
        &PrefKey::AbsNumValue,
        &PrefKey::AutoDeletePnn,
        &PrefKey::AutoPostProcess,
        &PrefKey::KeepBrokenFiles,
        &PrefKey::AutoCloseDocument,
        &PrefKey::SimultaneousProcessing,
        &PrefKey::DefaultPar,
        &PrefKey::Par2BlockSize,
        &PrefKey::Par2BlockSizeChoice,
        &PrefKey::Par2LimitFileSize,
        &PrefKey::Par2Redundancy,
        &PrefKey::DeleteSegOption,
        &PrefKey::UnrarTargetExistsAction,
        &PrefKey::UnrarDestinationDetermination,
        &PrefKey::UnrarDestinationFolder,
        &PrefKey::AutoCheckUpdate,
        &PrefKey::UnattendedOperation,
        &PrefKey::DontCheckForTooManyFiles,
        &PrefKey::PrefFilenameEncoding,
        &PrefKey::HelperStallSeconds,
    };
    return std::any_of(keys.begin(), keys.end(), [&key](const QString* k) { return *k == key; });
}

bool isFlagKey(const QString& key) {
    static const std::array keys = {
        &PrefKey::AutoDeletePnn,
        &PrefKey::AutoPostProcess,
        &PrefKey::KeepBrokenFiles,
        &PrefKey::AutoCloseDocument,
        &PrefKey::SimultaneousProcessing,
        &PrefKey::Par2LimitFileSize,
        &PrefKey::AutoCheckUpdate,
        &PrefKey::UnattendedOperation,
        &PrefKey::DontCheckForTooManyFiles,
    };
    return std::any_of(keys.begin(), keys.end(), [&key](const QString* k) { return *k == key; });
}

// A flag is written as the preference store writes one, in any case; any other
// text is refused rather than read as on.
std::optional<bool> flagValue(const QString& text) {
    for (const char* on : {"yes", "true", "1"})
        if (text.compare(QLatin1String(on), Qt::CaseInsensitive) == 0)
            return true;
    for (const char* off : {"no", "false", "0"})
        if (text.compare(QLatin1String(off), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

// Numbers become numbers, so the value reads the same as one the preferences
// window would have stored.
QVariant typedValue(const QString& text) {
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    if (isNumber)
        return number;
    return text;
}

bool takesValue(const QString& option) {
    return option == QLatin1String("--create") || option == QLatin1String("--redundancy") ||
           option == QLatin1String("--volumes") || option == QLatin1String("--password-file") ||
           option == QLatin1String("--set");
}

} // namespace

const char* CommandLine::usage() {
    return "Usage: velmora [OPTION...] [FILE...]\n"
           "       velmora --headless [--json] [--events] [OPTION...] FILE|FOLDER...\n"
           "       velmora --headless [--json] --create NAME.par2 [--redundancy PERCENT] FILE...\n"
           "       velmora --headless [--json] --create NAME.par [--volumes N] FILE...\n"
           "\n"
           "Verifies and repairs PAR 1 and PAR 2 recovery sets, creates new ones and\n"
           "extracts RAR archives.\n"
           "\n"
           "  --headless       work without windows; every question gets the unattended\n"
           "                   answer (for this run only; the stored preferences are not changed)\n"
           "  --json           with --headless: print one JSON line per finished document\n"
           "  --events         with --headless: also print one JSON line per event while\n"
           "                   documents run (queued, started, status, file, progress, finished)\n"
           "  --recursive      with --headless: search the FOLDERs' subfolders for sets too\n"
           "  --create         with --headless: make a new set NAME from the FILEs (all in one\n"
           "                   folder)\n"
           "  --redundancy     PAR 2 recovery data in percent of the files (default: the "
           "preference)\n"
           "  --volumes        number of PAR 1 recovery volumes (default: the preference)\n"
           "  --new-par2, --new-par1\n"
           "                   open an empty new PAR 2 or PAR 1 set (in the running Velmora\n"
           "                   when there is one)\n"
           "  --password-file FILE\n"
           "                   passwords to try, one per line, before asking; the file must not\n"
           "                   be readable by others\n"
           "  --set KEY=VALUE  use VALUE for the preference KEY in this run only, e.g.\n"
           "                   --set DeleteSegOption=2\n"
           "  --version        print the version\n"
           "  --help           print this text\n"
           "\n"
           "A FOLDER given to --headless stands for every recovery set in it; a summary line\n"
           "follows the sets' lines. The JSON lines are described in the manual page.\n"
           "\n"
           "Exit status with --headless: 0 when every document ended well, 1 when any did not,\n"
           "2 for a usage error or a file that cannot be read.\n"
           "Without --headless, the files open in windows (an empty new set when none is given).\n";
}

bool CommandLine::fail(const QString& problem) {
    m_problem = problem;
    return false;
}

bool CommandLine::parse(const QStringList& arguments) {
    bool filesOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (filesOnly || !argument.startsWith(QLatin1String("--"))) {
            m_files.append(argument);
        } else if (argument == QLatin1String("--")) {
            filesOnly = true;
        } else if (takesValue(argument)) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("%1 needs a value").arg(argument));
            if (!takeOption(argument, arguments[++i]))
                return false;
        } else if (!takeOption(argument, QString())) {
            return false;
        }
    }
    if (m_mode == Mode::Headless && m_files.isEmpty())
        return fail(QStringLiteral("no file given"));
    if (m_mode != Mode::Headless && (m_json || m_events || m_recursive || !m_create.isEmpty()))
        return fail(
            QStringLiteral("--json, --events, --recursive and --create work with --headless only"));
    if (m_mode == Mode::Headless && !m_newDocumentType.isNull())
        return fail(QStringLiteral("--new-par2 and --new-par1 open windows; not with --headless"));
    return true;
}

bool CommandLine::takeOption(const QString& option, const QString& value) {
    if (option == QLatin1String("--headless")) {
        if (m_mode == Mode::Windows)
            m_mode = Mode::Headless;
    } else if (option == QLatin1String("--version")) {
        m_mode = Mode::Version;
    } else if (option == QLatin1String("--help")) {
        m_mode = Mode::Help;
    } else if (option == QLatin1String("--new-par2")) {
        m_newDocumentType = DocumentTypes::Par2;
    } else if (option == QLatin1String("--new-par1")) {
        m_newDocumentType = DocumentTypes::Par1;
    } else if (option == QLatin1String("--json")) {
        m_json = true;
    } else if (option == QLatin1String("--events")) {
        m_events = true;
    } else if (option == QLatin1String("--recursive")) {
        m_recursive = true;
    } else if (option == QLatin1String("--create")) {
        m_create = value;
    } else if (option == QLatin1String("--redundancy") || option == QLatin1String("--volumes")) {
        m_number = value;
    } else if (option == QLatin1String("--password-file")) {
        m_passwordFile = value;
    } else if (option == QLatin1String("--set")) {
        return addSetting(value);
    } else {
        return fail(QStringLiteral("unknown option %1").arg(option));
    }
    return true;
}

bool CommandLine::addSetting(const QString& assignment) {
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    const QString key = assignment.left(equals);
    if (equals <= 0)
        return fail(QStringLiteral("--set needs KEY=VALUE, not %1").arg(assignment));
    if (!isSettableKey(key))
        return fail(QStringLiteral("--set: %1 is not a preference that can be set").arg(key));
    const QString value = assignment.mid(equals + 1);
    if (!isFlagKey(key)) {
        m_settings.append({key, typedValue(value)});
        return true;
    }
    const std::optional<bool> flag = flagValue(value);
    if (!flag)
        return fail(QStringLiteral("--set: %1 takes YES or NO, not %2").arg(key, value));
    m_settings.append({key, *flag});
    return true;
}

bool CommandLine::applyToProcess() {
    for (const auto& [key, value] : m_settings)
        Preferences::setProcessOverride(key, value);
    if (m_passwordFile.isEmpty())
        return true;
    QString problem;
    const std::optional<QStringList> passwords =
        UnrarPasswordList::readPasswordFile(m_passwordFile, &problem);
    if (!passwords)
        return fail(problem);
    UnrarPasswordList::setCandidates(*passwords);
    return true;
}
