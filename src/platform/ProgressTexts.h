#pragma once

#include <QString>

// How far a long task has come, as its window says it: sizes in human units
// and, once it can be estimated, the time left.
namespace ProgressTexts {

// "1.2 GB" (powers of 1000, as file managers show sizes).
QString sizeText(qint64 bytes);
// "about 2 min left"; null until a few seconds and a few percent have passed.
QString timeLeftText(double fraction, qint64 elapsedMs);
// "42 %", followed by the time left when it is known.
QString percentText(double fraction, qint64 elapsedMs);

} // namespace ProgressTexts
