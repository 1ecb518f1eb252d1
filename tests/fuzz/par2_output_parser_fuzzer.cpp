// Feeds arbitrary text to the reader of the par2 helper's output, cut into the
// pieces the input asks for, then ends the run with the exit status it gives.
// The reader must never crash or read out of bounds, keep its progress within
// 0 to 100, and never rename anything outside the folder of the run (which does
// not exist here).
#include "par2/Par2OutputParser.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

namespace {

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (qInstallMessageHandler(dropMessages), true);
    (void)quiet;
    if (size < 2)
        return 0;
    const qsizetype pieceSize = data[0] % 97 + 1;
    const int exitStatus = data[1] % 12;
    const QString output =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    Par2OutputModel model;
    model.m_DocumentStatus = DocStatus::Verifying;
    Par2OutputParser parser(model);
    parser.setFailureHandler([](const LineIterator&) {});
    for (qsizetype at = 0; at < output.size(); at += pieceSize)
        parser.ProcessStdOutData(output.mid(at, pieceSize));
    parser.DetermineFinalStatusAfterRecover(exitStatus,
                                            QStringLiteral("/nonexistent/velmora-fuzz"));
    if (model.m_Progress < 0 || model.m_Progress > 100)
        std::abort();
    return 0;
}
