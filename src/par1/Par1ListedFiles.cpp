#include "Par1ListedFiles.h"

#include "platform/FileNames.h"

#include <Par1VolumeFile.h>
#include <exception>

FileStatusMap Par1ListedFiles::read(const QString& path) {
    FileStatusMap files;
    try {
        const velmora::par1::Par1VolumeFile set = velmora::par1::Par1VolumeFile::open(
            std::filesystem::path(FileNames::encode(path).toStdString()));
        for (const velmora::par1::Par1FileEntry& entry : set.entries()) {
            const QString name = QString::fromStdString(entry.name);
            files.insert(name,
                         FileStatus(name, FileCode::NotExamined, QString(), entry.inParity()));
        }
    } catch (const std::exception&) {
        return {};
    }
    return files;
}
