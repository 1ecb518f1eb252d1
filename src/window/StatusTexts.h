#pragma once

#include "document/FileStatus.h"
#include "document/StatisticsRecord.h"

#include <QString>
#include <cstdint>

class MyDocument;

// What the document window shows for files and documents: the texts from the
// "Localizable" table and the names of the file-state images.
namespace StatusTexts {

// The PAR version of a set, as the window tells them apart.
inline constexpr int kPar1 = 1;
inline constexpr int kPar2 = 2;
int parTypeOf(const MyDocument& document);

// The five file-state images.
inline const QString kFileOKIcon = QStringLiteral("FileOKIcon");
inline const QString kFilePossibleErrorIcon = QStringLiteral("FilePossibleErrorIcon");
inline const QString kFileRecoverableIcon = QStringLiteral("FileRecoverableIcon");
inline const QString kFileErrorIcon = QStringLiteral("FileErrorIcon");
inline const QString kFileNotInVolumeSetIcon = QStringLiteral("FileNotInVolumeSetIcon");

QString FileStatusAsText(const FileStatus& record);
QString PxxFileStatusAsText(const FileStatus& record, int parType);
QString FilestatusAsSymbol(const FileStatus& record);

QString DocumentStatusText(int32_t status, int parType, const StatisticsRecord& statistics);

} // namespace StatusTexts
