#include "app/VersionList.h"

#include "VersionListServer.h"

#include <gtest/gtest.h>

TEST(VersionList, SaysNothingWithoutAReadableVersion) {
    const QByteArray arrayList = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                                 "<string>Velmora</string></array></plist>";
    const QByteArray numberVersion = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                     "<key>Velmora</key><integer>7</integer></dict></plist>";
    const QByteArray unrelated = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                 "<key>Other</key><string>9.0</string></dict></plist>";
    for (const QByteArray& data :
         {QByteArray(), QByteArray("<html>Not Found</html>"), QByteArray("bplist00\xff\xff", 10),
          arrayList, numberVersion, unrelated,
          VersionListServer::versionList("soon", QString(), false)})
        EXPECT_FALSE(VersionList::parse(data)) << data.constData();
}

TEST(VersionList, ComparesVersionNumbersNotTexts) {
    const auto listed = [](const char* version) {
        return *VersionList::parse(VersionListServer::versionList(version, QString(), false));
    };
    EXPECT_TRUE(listed("0.10").isNewerThan("0.9"));
    EXPECT_TRUE(listed("1.0.1").isNewerThan("1.0"));
    EXPECT_FALSE(listed("1.2").isNewerThan("1.2.0"));
    EXPECT_FALSE(listed("1.2.0").isNewerThan("1.2"));
    EXPECT_FALSE(listed("0.9").isNewerThan("0.10"));
    EXPECT_FALSE(listed(" 2.0 ").isNewerThan("2.0"));
}
