#pragma once

#include "document/FileStatus.h"
#include "document/StatisticsRecord.h"

#include <QString>
#include <QStringList>
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
// A stopped run, with the files it put back as they were.
QString StoppedText(const QStringList& restoredFiles);
// "42 %", then, once it can be estimated, the time left.
QString ProgressText(int percent, qint64 elapsedMs);
// A size in human units ("1.2 GB").
QString SizeText(qint64 bytes);

} // namespace StatusTexts
