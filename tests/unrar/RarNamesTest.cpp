#include "TestEnvironment.h"
#include "UnrarTestSupport.h"
#include "unrar/RarEntryName.h"
#include "unrar/RarSegments.h"
#include "unrar/RarVolumeNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

TEST(RarVolumeNames, DeterminePartNum) {
    const QList<std::tuple<QString, int, uint32_t>> cases = {
        {"part1", 1, 1},     {"part01", 2, 1},  {"part001", 3, 1}, {"part999", 3, 999},
        {"part0001", -1, 7}, {"Part01", -1, 7}, {"part1a", -1, 7}, {"part", -1, 7},
        {"par1", -1, 7},     {"part٣", -1, 7}};
    for (const auto& [field, digits, number] : cases) {
        uint32_t found = 7;
        EXPECT_EQ(DeterminePartNum(field, &found), digits) << field.toStdString();
        EXPECT_EQ(found, number) << field.toStdString();
    }
}

TEST(RarVolumeNames, GetNextRARFilenameForEverySchemeAndItsLimits) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("names"));
    const QList<std::pair<QString, QString>> cases = {{"set.part01.rar", "set.part02.rar"},
                                                      {"set.part1.rar", "set.part2.rar"},
                                                      {"set.part09.rar", "set.part10.rar"},
                                                      {"set.part99.rar", QString()},
                                                      {"set.part9.rar", QString()},
                                                      {"set.part999.rar", QString()},
                                                      {"set.part001.exe", "set.part002.rar"},
                                                      {"set.part01.RAR", "set.part02.RAR"},
                                                      {"set.PART01.rar", "set.PART01.r00"},
                                                      {"set.RAR", "set.R00"},
                                                      {"set.rar", "set.r00"},
                                                      {"set.r09", "set.r10"},
                                                      {"set.r99", "set.s00"},
                                                      {"set.R99", "set.S00"},
                                                      {"set.z98", "set.z99"},
                                                      {"set.z99", QString()},
                                                      {"set.001", "set.002"},
                                                      {"set.099", "set.100"},
                                                      {"set.999", "set.1000"},
                                                      {"set.1000", QString()},
                                                      {"set.gz", QString()},
                                                      {"set.json", QString()},
                                                      {"set", QString()}};
    for (const auto& [name, next] : cases) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!next.isNull())
            writeFile(folder + QLatin1Char('/') + next, "x");
        EXPECT_EQ(GetNextRARFilename(path),
                  next.isNull() ? QString() : folder + QLatin1Char('/') + next)
            << name.toStdString();
        if (!next.isNull()) {
            QFile::remove(folder + QLatin1Char('/') + next);
            EXPECT_TRUE(GetNextRARFilename(path).isNull()) << name.toStdString();
        }
    }
    writeFile(folder + QStringLiteral("/other.R00"), "x");
    EXPECT_EQ(GetNextRARFilename(folder + QStringLiteral("/other.rar")),
              folder + QStringLiteral("/other.R00"));
}

TEST(RarSegments, PermanentDeletionNeverFollowsALink) {
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("delete"));
    const QString elsewhere = TestEnvironment::makeFolder(QStringLiteral("elsewhere"));
    for (const char* name : {"set.rar", "set.r00", "set.r02", "set.r03"})
        writeFile(folder + QLatin1Char('/') + QLatin1String(name), "volume");
    writeFile(elsewhere + QStringLiteral("/set.r00"), "not a volume of this set");
    writeFile(folder + QStringLiteral("/set.r01"), "volume");
    QFile::remove(folder + QStringLiteral("/set.r00"));
    QFile::link(elsewhere + QStringLiteral("/set.r00"), folder + QStringLiteral("/set.r00"));
    QFile::remove(folder + QStringLiteral("/set.r02"));
    QStringList volumes;
    for (const char* name : {"set.rar", "set.r00", "set.r01"})
        volumes.append(folder + QLatin1Char('/') + QLatin1String(name));
    PermanentlyDeleteRarSegments(volumes);
    EXPECT_EQ(treeOf(folder), (QStringList{"set.r00 -> " + elsewhere + "/set.r00", "set.r03"}));
    EXPECT_EQ(readFile(elsewhere + QStringLiteral("/set.r00")), "not a volume of this set");
}

TEST(RarSegments, TrashMovesTheChainToTheFreedesktopTrash) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-volumes"));
    TrashRarSegments(RarVolumeChain(folder + QStringLiteral("/gap.part1.rar")));
    TrashRarSegments(RarVolumeChain(folder + QStringLiteral("/classic.rar")));
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files";
    for (const char* name : {"gap.part1.rar", "classic.rar", "classic.r00", "classic.r01"}) {
        EXPECT_FALSE(QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(name))) << name;
        EXPECT_TRUE(QFileInfo::exists(trash + QLatin1Char('/') + QLatin1String(name))) << name;
    }
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/gap.part3.rar")));
}

TEST(RarEntryName, PlacesNamesWhereTheLibraryWritesThem) {
    const QList<std::tuple<QString, QString, QString>> cases = {{"a/b.txt", "a/b.txt", "a"},
                                                                {"/abs/x", "abs/x", "abs"},
                                                                {"../x", "x", "x"},
                                                                {"../../x/y", "x/y", "x"},
                                                                {"a/../../b", "b", "b"},
                                                                {"//srv/share/x", "x", "x"},
                                                                {".../y", "y", "y"},
                                                                {"./c", "c", "c"},
                                                                {"q/./r", "q/./r", "q"},
                                                                {"...", "...", "..."},
                                                                {"m/.../n", "m/.../n", "m"},
                                                                {"..", "", ""},
                                                                {"/", "", ""},
                                                                {".", ".", ""},
                                                                {"dir/", "dir/", "dir"},
                                                                {"e//f", "e//f", "e"}};
    for (const auto& [stored, placed, top] : cases) {
        EXPECT_EQ(RarEntryName::placedPath(stored), placed) << stored.toStdString();
        EXPECT_EQ(RarEntryName::topLevelItem(stored), top) << stored.toStdString();
    }
}
