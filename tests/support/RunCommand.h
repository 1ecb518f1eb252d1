#pragma once

#include <QString>
#include <QStringList>

// Runs a program in a folder and returns its exit status (-1 when it could
// not start). Made with posix_spawn: QProcess's clone() trips ThreadSanitizer.
int runCommand(const QString& folder, const QString& program, const QStringList& arguments);

// The same, keeping what the program wrote to standard output and error.
int runCommandCapturing(const QString& folder, const QString& program, const QStringList& arguments,
                        QByteArray& standardOutput, QByteArray& standardError);
