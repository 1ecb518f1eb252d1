#pragma once

#include <QString>

// Every key of the preference store, and the values of its enumerations.
namespace PrefKey {
inline const QString NumMethod = QStringLiteral("NumMethod");
inline const QString EveryXFilesValue = QStringLiteral("EveryXFilesValue");
inline const QString AbsNumValue = QStringLiteral("AbsNumValue");
inline const QString AutoDeletePnn = QStringLiteral("AutoDeletePnn");
inline const QString AutoPostProcess = QStringLiteral("AutoPostProcess");
inline const QString PPRules = QStringLiteral("PPRules");
inline const QString KeepBrokenFiles = QStringLiteral("KeepBrokenFiles");
inline const QString AutoCloseDocument = QStringLiteral("AutoCloseDocument");
inline const QString SimultaneousProcessing = QStringLiteral("SimultaneousProcessing");
inline const QString DefaultPar = QStringLiteral("DefaultPar");
inline const QString Par2BlockSize = QStringLiteral("Par2BlockSize");
inline const QString Par2BlockSizeChoice = QStringLiteral("Par2BlockSizeChoice");
inline const QString Par2LimitFileSize = QStringLiteral("Par2LimitFileSize");
inline const QString Par2Redundancy = QStringLiteral("Par2Redundancy");
inline const QString DeleteSegOption = QStringLiteral("DeleteSegOption");
inline const QString UnrarTargetExistsAction = QStringLiteral("UnrarTargetExistsAction");
inline const QString UnrarDestinationDetermination =
    QStringLiteral("UnrarDestinationDetermination");
inline const QString UnrarDestinationFolder = QStringLiteral("UnrarDestinationFolder");
inline const QString AutoCheckUpdate = QStringLiteral("AutoCheckUpdate");
inline const QString UnattendedOperation = QStringLiteral("UnattendedOperation");
inline const QString DontCheckForTooManyFiles = QStringLiteral("DontCheckForTooManyFiles");
inline const QString PrefFilenameEncoding = QStringLiteral("PrefFilenameEncoding");
inline const QString FileColumnWidth = QStringLiteral("FileColumnWidth");
inline const QString DocWindowFrameSize = QStringLiteral("DocWindowFrameSize");
// Seconds a helper may stay silent and idle before it is stopped; 0 never.
inline const QString HelperStallSeconds = QStringLiteral("HelperStallSeconds");

// Read once at start-up to seed the keys that replaced them.
inline const QString LegacyAutoUnrar = QStringLiteral("AutoUnrar");
inline const QString LegacyAutoDeleteSeg = QStringLiteral("AutoDeleteSeg");
inline const QString LegacyChooseUnrarDestination = QStringLiteral("ChooseUnrarDestination");
} // namespace PrefKey

namespace NumMethodValue {
inline constexpr int EveryXFiles = 1;
inline constexpr int Absolute = 2;
} // namespace NumMethodValue

namespace DeleteSegValue {
inline constexpr int Keep = 0;
inline constexpr int MoveToTrash = 1;
inline constexpr int DeletePermanently = 2;
} // namespace DeleteSegValue

namespace TargetExistsValue {
inline constexpr int Ask = 0;
inline constexpr int Overwrite = 1;
inline constexpr int Cancel = 2;
inline constexpr int KeepBoth = 3;
} // namespace TargetExistsValue

namespace DestinationValue {
inline constexpr int DefaultLocation = 0;
inline constexpr int AskEachTime = 1;
inline constexpr int FixedFolder = 2;
} // namespace DestinationValue

namespace BlockSizeChoiceValue {
inline constexpr int Automatic = 1;
inline constexpr int Fixed = 2;
} // namespace BlockSizeChoiceValue
