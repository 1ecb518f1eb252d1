#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Whether a helper's command line and environment fit in what the kernel
// accepts for a new program: execve refuses (E2BIG) a program whose argument
// and environment strings, with their pointers, pass ARG_MAX, or any single
// string longer than MAX_ARG_STRLEN. Sizes are those of the file-name bytes
// the strings are passed as.
class HelperArgumentBudget {
public:
    // Left free for what the loader adds beside the strings (the program's
    // path again, the auxiliary vector, alignment).
    static constexpr qint64 kMargin = 16 * 1024;

    HelperArgumentBudget(qint64 argumentLimit, qint64 stringLimit)
        : m_argumentLimit(argumentLimit), m_stringLimit(stringLimit) {}
    // The running system's limits.
    static HelperArgumentBudget system();

    qint64 argumentLimit() const { return m_argumentLimit; }
    qint64 stringLimit() const { return m_stringLimit; }

    // Bytes the strings take on the new program's stack, pointers and the
    // closing null pointer included.
    static qint64 bytesFor(const QStringList& strings);
    bool fitsString(const QString& string) const;
    bool fits(const QString& program, const QStringList& arguments,
              const QStringList& environment) const;

private:
    qint64 m_argumentLimit;
    qint64 m_stringLimit;
};
