#include "StartupDefaults.h"

#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace {

void writeBoolIfAbsent(const QString& key, bool value) {
    if (!Preferences::contains(key))
        Preferences::setBool(key, value);
}

void writeIntegerIfAbsent(const QString& key, int value) {
    if (!Preferences::contains(key))
        Preferences::setInteger(key, value);
}

} // namespace

void StartupDefaults::write(PARDocumentController& controller) {
    writeVolumeCountMethod();
    writeBoolIfAbsent(PrefKey::AutoDeletePnn, true);
    if (!Preferences::contains(PrefKey::AutoPostProcess)) {
        const bool legacy = !Preferences::contains(PrefKey::LegacyAutoUnrar) ||
                            Preferences::boolForKey(PrefKey::LegacyAutoUnrar);
        Preferences::setBool(PrefKey::AutoPostProcess, legacy);
    }
    upgradeOrSeedRules(controller);
    writeBoolIfAbsent(PrefKey::KeepBrokenFiles, false);
    writeBoolIfAbsent(PrefKey::AutoCloseDocument, false);
    Preferences::remove(PrefKey::LegacyAutoUnrar);
    writeBoolIfAbsent(PrefKey::SimultaneousProcessing, false);
    writeIntegerIfAbsent(PrefKey::DefaultPar, 2);
    writeIntegerIfAbsent(PrefKey::Par2BlockSize, 300);
    writeIntegerIfAbsent(PrefKey::Par2BlockSizeChoice, BlockSizeChoiceValue::Automatic);
    writeBoolIfAbsent(PrefKey::Par2LimitFileSize, true);
    writeIntegerIfAbsent(PrefKey::Par2Redundancy, 10);
    writeExtractionDefaults();
}

// The three method keys go together: a method of 0 means they were never set.
void StartupDefaults::writeVolumeCountMethod() {
    if (Preferences::integerForKey(PrefKey::NumMethod) != 0)
        return;
    Preferences::setInteger(PrefKey::NumMethod, NumMethodValue::EveryXFiles);
    Preferences::setInteger(PrefKey::EveryXFilesValue, 8);
    Preferences::setInteger(PrefKey::AbsNumValue, 5);
}

// Version 1 archives came from a release whose rules are known to be unusable,
// so a set holding one is replaced as a whole.
void StartupDefaults::upgradeOrSeedRules(PARDocumentController& controller) {
    QList<PostProcessRule> rules;
    if (Preferences::contains(PrefKey::PPRules)) {
        rules = controller.ReadPPRulesSet();
        const bool outdated = std::any_of(rules.begin(), rules.end(), [](const PostProcessRule& r) {
            return r.mArchiveVersion() == 1;
        });
        if (!outdated)
            return;
    }
    PARDocumentController::SetStandardPPRules(rules);
    controller.SavePPRulesSet(rules);
}

void StartupDefaults::writeExtractionDefaults() {
    if (!Preferences::contains(PrefKey::DeleteSegOption)) {
        const bool legacy = Preferences::contains(PrefKey::LegacyAutoDeleteSeg);
        const bool deleteSegments =
            !legacy || Preferences::boolForKey(PrefKey::LegacyAutoDeleteSeg);
        Preferences::setInteger(PrefKey::DeleteSegOption, deleteSegments
                                                              ? DeleteSegValue::MoveToTrash
                                                              : DeleteSegValue::Keep);
    }
    writeIntegerIfAbsent(PrefKey::UnrarTargetExistsAction, TargetExistsValue::Ask);
    if (!Preferences::contains(PrefKey::UnrarDestinationDetermination)) {
        const bool ask = Preferences::boolForKey(PrefKey::LegacyChooseUnrarDestination);
        Preferences::setInteger(PrefKey::UnrarDestinationDetermination,
                                ask ? DestinationValue::AskEachTime
                                    : DestinationValue::DefaultLocation);
    }
    if (!Preferences::contains(PrefKey::UnrarDestinationFolder))
        Preferences::setString(PrefKey::UnrarDestinationFolder, QString());
}
