#pragma once

class PARDocumentController;

// Writes every missing preference default at launch, before any document
// opens, seeding the replacements of legacy keys from those keys.
class StartupDefaults {
public:
    static void write(PARDocumentController& controller);

private:
    static void writeVolumeCountMethod();
    static void upgradeOrSeedRules(PARDocumentController& controller);
    static void writeExtractionDefaults();
};
