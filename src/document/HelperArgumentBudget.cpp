#include "HelperArgumentBudget.h"

#include <QFile>
#include <algorithm>
#include <unistd.h>

namespace {

// Linux caps one string at 32 pages whatever ARG_MAX says.
constexpr qint64 kStringLimitPages = 32;
// POSIX guarantees at least this much.
constexpr qint64 kPosixArgumentMinimum = 4096;

qint64 stringBytes(const QString& string) {
    return QFile::encodeName(string).size() + 1;
}

} // namespace

HelperArgumentBudget HelperArgumentBudget::system() {
    const long argumentLimit = sysconf(_SC_ARG_MAX);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return {std::max<qint64>(argumentLimit, kPosixArgumentMinimum),
            pageSize > 0 ? pageSize * kStringLimitPages : kPosixArgumentMinimum};
}

qint64 HelperArgumentBudget::bytesFor(const QStringList& strings) {
    qint64 bytes = qint64(sizeof(char*));
    for (const QString& string : strings)
        bytes += stringBytes(string) + qint64(sizeof(char*));
    return bytes;
}

bool HelperArgumentBudget::fitsString(const QString& string) const {
    return stringBytes(string) <= m_stringLimit;
}

bool HelperArgumentBudget::fits(const QString& program, const QStringList& arguments,
                                const QStringList& environment) const {
    const auto tooLong = [this](const QString& string) { return !fitsString(string); };
    if (std::any_of(arguments.begin(), arguments.end(), tooLong) ||
        std::any_of(environment.begin(), environment.end(), tooLong))
        return false;
    const qint64 bytes =
        stringBytes(program) + bytesFor(QStringList{program} + arguments) + bytesFor(environment);
    return bytes + kMargin <= m_argumentLimit;
}
