#pragma once

#include <QString>
#include <cstdint>

// Name arithmetic for the volumes of a multi-volume RAR archive. Three schemes:
//   part-numbered  base.part1.rar, base.part01.rar, base.part001.rar (first may be .exe)
//   classic        base.rar, base.r00 ... base.r99, base.s00 ... base.z99
//   numbered       base.001 ... base.999, base.1000

// The digit count (1 to 3) of a part field such as "part07", setting number;
// -1 for anything else, leaving number untouched.
int32_t DeterminePartNum(const QString& partField, uint32_t* number);

// The classic extension that follows r00 ... z98 (any case) and the ordinal of
// that next volume counted from r00 = 0; a null string for anything else.
QString DetermineNextClassicRarExtension(const QString& extension, uint32_t* ordinal);

// The path of the volume after the given one, or a null string when the scheme
// has no successor or no entry exists at the successor's path.
QString GetNextRARFilename(const QString& volumePath);

// The extension after the last dot of the last path component, or empty.
QString RarPathExtension(const QString& path);
// The path without ".extension".
QString RarPathWithoutExtension(const QString& path);
