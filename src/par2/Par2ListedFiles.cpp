#include "Par2ListedFiles.h"

#include "par2/FilenameEncodings.h"
#include "par2/TargetFileList.h"

FileStatusMap Par2ListedFiles::read(const QString& path, uint32_t encoding) {
    FileStatusMap files;
    const std::optional<TargetFileList> names = TargetFileList::initFromPar2File(path);
    if (!names)
        return files;
    for (const QByteArray& stored : names->getFileArray()) {
        const QString name = reportedName(stored, encoding);
        files.insert(name, FileStatus(name));
    }
    return files;
}

QString Par2ListedFiles::reportedName(const QByteArray& stored, uint32_t encoding) {
    const QString decoded =
        FilenameEncodings::decode(encoding, stored).value_or(QString::fromUtf8(stored));
    QString name;
    name.reserve(decoded.size());
    for (const QChar c : decoded) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            name += QStringLiteral("\\x") +
                    QString::number(c.unicode(), 16).rightJustified(2, u'0').toUpper();
        else
            name += c;
    }
    return name;
}
