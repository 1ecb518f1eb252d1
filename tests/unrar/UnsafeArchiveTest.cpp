#include "UnrarTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Folders that an extraction into dest/inner may change: none but dest/inner.
QStringList outsideOfDestination(const QString& folder) {
    QStringList entries = treeOf(folder);
    entries.removeIf([](const QString& entry) { return entry.startsWith("dest/inner/"); });
    return entries;
}

void expectLinksStayInside(const QString& inner) {
    const QString resolvedInner = QFileInfo(inner).canonicalFilePath();
    for (const QString& entry : treeOf(inner)) {
        const QFileInfo info(inner + QLatin1Char('/') + entry.section(" -> ", 0, 0));
        if (!info.isSymLink())
            continue;
        const QString target = QDir::cleanPath(info.absoluteDir().filePath(info.symLinkTarget()));
        EXPECT_TRUE(target.startsWith(resolvedInner + QLatin1Char('/')) || target == resolvedInner)
            << entry.toStdString();
    }
}

} // namespace

class UnsafeArchives : public testing::TestWithParam<const char*> {};

TEST_P(UnsafeArchives, NeverWriteOutsideTheDestination) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-unsafe"));
    const QString inner = folder + QStringLiteral("/dest/inner");
    QDir().mkpath(inner);
    const QStringList before = outsideOfDestination(folder);
    ScriptedGlueDelegate delegate;
    extract(folder + QLatin1Char('/') + QLatin1String(GetParam()), inner, delegate);
    ASSERT_EQ(delegate.endCount, 1);
    EXPECT_EQ(outsideOfDestination(folder), before);
    EXPECT_EQ(readFile(folder + QStringLiteral("/outside/victim.txt")), QByteArray("original\n"));
    expectLinksStayInside(inner);
}

INSTANTIATE_TEST_SUITE_P(
    Rar, UnsafeArchives,
    testing::Values("climb.rar", "absolute.rar", "links.rar", "hardlink.rar", "links4.rar"),
    [](const testing::TestParamInfo<const char*>& info) {
        return QString::fromLatin1(info.param).section('.', 0, 0).toStdString();
    });

TEST(UnsafeArchives, ClimbingAndAbsoluteNamesLandInsideAndArePlacedThere) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-unsafe"));
    const QString inner = folder + QStringLiteral("/dest/inner");
    writeFile(inner + QStringLiteral("/climb.txt"), "existing");
    ScriptedGlueDelegate climb;
    const auto glue = extract(folder + QStringLiteral("/climb.rar"), inner, climb);
    EXPECT_EQ(climb.result, UnrarOutcome::Finished);
    // The placement sees the names as the library writes them, so the existing
    // item is asked about instead of being silently replaced.
    EXPECT_EQ(glue->topLevelItems(), (QSet<QString>{"climb.txt", "deep.txt"}));
    EXPECT_EQ(readFile(inner + QStringLiteral("/climb/climb.txt")), QByteArray("climb\n"));
    EXPECT_EQ(readFile(inner + QStringLiteral("/climb.txt")), QByteArray("existing"));
    ScriptedGlueDelegate absolute;
    extract(folder + QStringLiteral("/absolute.rar"), inner, absolute);
    EXPECT_EQ(absolute.result, UnrarOutcome::Finished);
    EXPECT_EQ(readFile(inner + QStringLiteral("/abs/abs.txt")), QByteArray("absolute\n"));
}
