// Feeds arbitrary bytes to the reader of the names stored in a PAR 2 file. It
// must never read out of bounds, and the names it returns must come from the input.
#include "par2/TargetFileList.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TargetFileList list;
    if (!list.createFileArray(buffer))
        return 0;
    for (const QByteArray& name : list.getFileArray()) {
        if (!bytes.contains(name))
            std::abort();
    }
    return 0;
}
