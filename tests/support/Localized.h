#pragma once

#include "platform/StringTables.h"

// The text the user is shown for a string table key.
inline QString localized(const char* key) {
    return StringTables::localized(QString::fromLatin1(key));
}
