#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files a test makes and reads back. Paths go through FileNames, so names
// that are not UTF-8 (decoded by FileNames::decode) reach the disk byte for byte.
namespace TestFiles {

// size pseudo-random bytes, the same for the same seed.
QByteArray randomBytes(int size, quint32 seed);
// Writes the file, making its folder first; false when it could not be written.
bool writeFile(const QString& path, const QByteArray& content = "x");
// The same for folder/name; the file's path.
QString writeFile(const QString& folder, const QString& name, const QByteArray& content);
// The same for a program (a script) its owner may run.
bool writeExecutable(const QString& path, const QByteArray& content);
// The file's bytes, or "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// The names in the user's trash (the test's own).
QStringList trashedNames();

} // namespace TestFiles

using TestFiles::randomBytes;
using TestFiles::readFile;
using TestFiles::trashedNames;
using TestFiles::writeExecutable;
using TestFiles::writeFile;
