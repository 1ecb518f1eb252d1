#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "par1/PAR1Document.h"
#include "par1/Par1CommandLine.h"
#include "par1/Par1VolumeFiles.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringFormat.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(Par1SetRulesTest, ArgumentLists) {
    EXPECT_EQ(Par1CommandLine::makeRepairParamArray("/some/where/-odd.par"),
              QStringList({"r", "-O", "+C", "-f", "-m", "--", "-odd.par"}));
    EXPECT_EQ(Par1CommandLine::makeCreateParamArray("/x/new.par", {"f10", "f9", "B", "a"}, 120),
              QStringList({"a", "-O", "-n120", "--", "new.par", "a", "B", "f9", "f10"}));
}

TEST(Par1SetRulesTest, DefaultNumberOfVolumes) {
    Preferences::setInteger(PrefKey::NumMethod, NumMethodValue::EveryXFiles);
    Preferences::setInteger(PrefKey::EveryXFilesValue, 10);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(0), 0);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(10), 1);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(11), 2);
    Preferences::setInteger(PrefKey::EveryXFilesValue, 0);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(3), 3);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(255), 99);
    Preferences::setInteger(PrefKey::NumMethod, NumMethodValue::Absolute);
    Preferences::setInteger(PrefKey::AbsNumValue, 5);
    EXPECT_EQ(Par1CommandLine::CalcDefaultNumberPnn(200), 5);
}

TEST(Par1SetRulesTest, RoomForMoreFiles) {
    const QString folder = TestEnvironment::makeFolder("par1-room");
    auto document = std::make_shared<PAR1Document>();
    for (int i = 0; i < 254; ++i) {
        writeFile(folder + QStringLiteral("/f%1").arg(i));
        document->AddFile(folder + QStringLiteral("/f%1").arg(i), false);
    }
    ScriptedAlertPresenter alerts;
    EXPECT_TRUE(document->checkRoomForFiles(1));
    EXPECT_FALSE(document->checkRoomForFiles(2));
    writeFile(folder + "/last");
    document->AddFile(folder + "/last", false);
    EXPECT_FALSE(document->checkRoomForFiles(1));
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
    EXPECT_EQ(alerts.shown[0].message, localized("TooManyFilesForPar1ErrS"));
    EXPECT_EQ(alerts.shown[1].message, formatString(localized("TooManyFilesForPar1ErrP"), 0));
}

TEST(Par1SetRulesTest, StrayVolumesAreRemovedButNeverASubjectFile) {
    const QString folder = TestEnvironment::makeFolder("par1-stray");
    for (const char* name : {"set.P01", "set.P02", "set.P03", "set.p01", "other.P01"})
        writeFile(folder + '/' + name);
    EXPECT_TRUE(Par1VolumeFiles::RemoveStrayPnnFiles(folder + "/set.par", 2, {"a.bin"}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({"other.P01", "set.P03", "set.p01"}));
    EXPECT_TRUE(Par1VolumeFiles::RemoveStrayPnnFiles(folder + "/set.par", 0, {}));

    QDir(folder).mkdir("set.P01");
    EXPECT_FALSE(Par1VolumeFiles::RemoveStrayPnnFiles(folder + "/set.par", 1, {}));
    EXPECT_FALSE(Par1VolumeFiles::RemoveStrayPnnFiles(folder + "/other.par", 1, {"other.P01"}));
    EXPECT_TRUE(QFile::exists(folder + "/other.P01"));
}

TEST(Par1SetRulesTest, NamesDeletedAfterARepair) {
    const QStringList names = Par1VolumeFiles::namesToDeleteAfterRepair(
        "/x/set.par", {"set.P01", "renamed.vol"}, {"data.bin", "set.p07"});
    EXPECT_EQ(names.mid(0, 4), QStringList({"set.par", "set.P01", "renamed.vol", "set.p01"}));
    EXPECT_TRUE(names.contains("set.P99"));
    EXPECT_TRUE(names.contains("set.PAR"));
    EXPECT_FALSE(names.contains("set.p07"));
    EXPECT_EQ(names.count("set.P01"), 1);
    EXPECT_EQ(names.count("set.par"), 1);
}
