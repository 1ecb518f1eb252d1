#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDataStream>
#include <QFile>
#include <QIODevice>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

class StartupDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(Preferences::storePath()); }
};

QVariant stored(const QString& key) {
    return QSettings(Preferences::storePath(), QSettings::IniFormat).value(key);
}

} // namespace

// Written to the store, so that the preferences window and later runs read what
// this run used; the update check is asked for at the first launch instead.
TEST_F(StartupDefaultsTest, AnEmptyStoreGetsEveryStartupKey) {
    PARDocumentController controller;
    for (const QString& key :
         {PrefKey::NumMethod, PrefKey::EveryXFilesValue, PrefKey::AbsNumValue,
          PrefKey::AutoDeletePnn, PrefKey::AutoPostProcess, PrefKey::KeepBrokenFiles,
          PrefKey::AutoCloseDocument, PrefKey::SimultaneousProcessing, PrefKey::DefaultPar,
          PrefKey::Par2BlockSize, PrefKey::Par2BlockSizeChoice, PrefKey::Par2LimitFileSize,
          PrefKey::Par2Redundancy, PrefKey::DeleteSegOption, PrefKey::UnrarTargetExistsAction,
          PrefKey::UnrarDestinationDetermination, PrefKey::UnrarDestinationFolder})
        EXPECT_TRUE(Preferences::contains(key)) << key.toStdString();
    EXPECT_EQ(controller.ReadPPRulesSet().size(), 5);
    EXPECT_FALSE(Preferences::contains(PrefKey::AutoCheckUpdate));
    EXPECT_FALSE(Preferences::contains(PrefKey::UnattendedOperation));
}

TEST_F(StartupDefaultsTest, LegacyKeysSeedTheirReplacements) {
    Preferences::setBool(PrefKey::LegacyAutoUnrar, false);
    Preferences::setBool(PrefKey::LegacyAutoDeleteSeg, false);
    Preferences::setBool(PrefKey::LegacyChooseUnrarDestination, true);
    PARDocumentController controller;
    EXPECT_FALSE(Preferences::boolForKey(PrefKey::AutoPostProcess));
    EXPECT_TRUE(Preferences::contains(PrefKey::AutoPostProcess));
    EXPECT_FALSE(Preferences::contains(PrefKey::LegacyAutoUnrar));
    EXPECT_EQ(Preferences::integerForKey(PrefKey::DeleteSegOption), 0);
    EXPECT_TRUE(Preferences::contains(PrefKey::LegacyAutoDeleteSeg));
    EXPECT_EQ(Preferences::integerForKey(PrefKey::UnrarDestinationDetermination), 1);
}

TEST_F(StartupDefaultsTest, ExistingValuesStayButAZeroMethodResetsAllThree) {
    Preferences::setInteger(PrefKey::NumMethod, 0);
    Preferences::setInteger(PrefKey::EveryXFilesValue, 3);
    Preferences::setInteger(PrefKey::AbsNumValue, 9);
    Preferences::setInteger(PrefKey::Par2Redundancy, 33);
    Preferences::setBool(PrefKey::AutoDeletePnn, false);
    PARDocumentController controller;
    EXPECT_EQ(Preferences::integerForKey(PrefKey::NumMethod), 1);
    EXPECT_EQ(Preferences::integerForKey(PrefKey::EveryXFilesValue), 8);
    EXPECT_EQ(Preferences::integerForKey(PrefKey::AbsNumValue), 5);
    EXPECT_EQ(Preferences::integerForKey(PrefKey::Par2Redundancy), 33);
    EXPECT_FALSE(Preferences::boolForKey(PrefKey::AutoDeletePnn));
    EXPECT_EQ(stored(PrefKey::AutoDeletePnn).toBool(), false);
}

TEST_F(StartupDefaultsTest, AVersionOneRuleReplacesTheWholeSetWithTheStandardOnes) {
    QByteArray v1;
    QDataStream out(&v1, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << QByteArrayLiteral("velmora.archive") << qint32(1) << QStringLiteral("PostProcessRule")
        << qint8('i') << qint32(1) << qint8('@') << QStringLiteral("old") << qint8('i') << qint32(2)
        << qint8('@') << QStringLiteral(".x") << qint8('c') << qint8(0) << qint8('i') << qint32(1)
        << qint8('@') << QString();
    const PostProcessRule mine(QStringLiteral("mine"), 2, QStringLiteral(".y"), true, 1, QString(),
                               QString());
    Preferences::setDataArray(PrefKey::PPRules, {mine.archived(), v1});
    PARDocumentController controller;
    const QList<PostProcessRule> rules = controller.ReadPPRulesSet();
    ASSERT_EQ(rules.size(), 5);
    EXPECT_EQ(rules[0].mDescription(), QStringLiteral("Unzip"));
}

TEST(PreferencesTest, ProcessOverridesAreReadButNeverStored) {
    Preferences::setInteger(PrefKey::DeleteSegOption, 1);
    Preferences::setProcessOverride(PrefKey::DeleteSegOption, 2);
    EXPECT_EQ(Preferences::integerForKey(PrefKey::DeleteSegOption), 2);
    EXPECT_EQ(stored(PrefKey::DeleteSegOption).toInt(), 1);
    Preferences::clearProcessOverrides();
    EXPECT_EQ(Preferences::integerForKey(PrefKey::DeleteSegOption), 1);
}
