#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QDataStream>
#include <QIODevice>
#include <gtest/gtest.h>

namespace {

// A blob as an older release wrote it: same container, fields up to its version.
QByteArray legacyBlob(int32_t version, const QString& description) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << QByteArrayLiteral("velmora.archive") << qint32(1) << QStringLiteral("PostProcessRule");
    out << qint8('i') << qint32(version) << qint8('@') << description << qint8('i') << qint32(2)
        << qint8('@') << QStringLiteral(".rar") << qint8('c') << qint8(1) << qint8('i') << qint32(3)
        << qint8('@') << QStringLiteral("unrar x %f");
    if (version >= 2)
        out << qint8('@') << QStringLiteral("https://example.invalid/tool");
    return data;
}

PostProcessRule sampleRule(const QString& description) {
    return {description,
            PostProcessRule::Contains,
            QStringLiteral(".Zip"),
            false,
            PostProcessRule::RunCommandLine,
            QStringLiteral("unzip %f"),
            QStringLiteral("u")};
}

class RuleStoreTest : public ::testing::Test {
protected:
    void SetUp() override { Preferences::remove(PrefKey::PPRules); }
};

} // namespace

TEST_F(RuleStoreTest, CorruptAndNewerBlobsAreSkipped) {
    PARDocumentController controller;
    QByteArray truncated = sampleRule("cut").archived();
    truncated.chop(7);
    Preferences::setDataArray(PrefKey::PPRules,
                              {sampleRule("first").archived(), truncated, QByteArray("garbage"),
                               legacyBlob(3, "future"), sampleRule("last").archived()});
    const QList<PostProcessRule> read = controller.ReadPPRulesSet();
    QStringList names;
    for (const PostProcessRule& rule : read)
        names.append(rule.mDescription());
    EXPECT_EQ(names, QStringList({"first", "last"}));
}

TEST_F(RuleStoreTest, OldArchiveVersionsReadWithAnEmptyURL) {
    Preferences::setDataArray(PrefKey::PPRules, {legacyBlob(0, "zero")});
    PARDocumentController controller; // version 0 is kept at start-up
    const QList<PostProcessRule> read = controller.ReadPPRulesSet();
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].mArchiveVersion(), 0);
    EXPECT_EQ(read[0].mURL(), QString(""));
    EXPECT_EQ(read[0].mAppOrCommand(), QStringLiteral("unrar x %f"));
}
