#include "Localized.h"
#include "TestEnvironment.h"
#include "UnrarTestSupport.h"
#include "unrar/ProtectedFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QString renamed(const QString& base, int counter, const QString& extension = QString()) {
    QString name =
        QStringLiteral("%1(%2-%3)").arg(base, localized("RenamedIndication")).arg(counter);
    return extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
}

void expectRefused(const ScriptedGlueDelegate& delegate, const QString& path) {
    EXPECT_EQ(delegate.result, UnrarOutcome::Failed);
    EXPECT_EQ(delegate.error.domain(), VLMError::kUnrarLibGlueDomain);
    EXPECT_EQ(delegate.error.code(), VLMUnrarLibGlue::kExistingOutputNotReplaceable);
    EXPECT_EQ(delegate.error.userInfo().value(VLMUnrarLibGlue::kFilePathInErrorKey).toString(),
              path);
    EXPECT_TRUE(delegate.existingOutputQuestions.isEmpty());
}

} // namespace

TEST(OutputPlacement, IntermediateFolderNames) {
    const QList<std::pair<QString, QString>> cases = {{"film.part01.rar", "film"},
                                                      {"film.part1.exe", "film"},
                                                      {"film.partX.rar", "film.partX"},
                                                      {"film.part.rar", "film"},
                                                      {"film.Part01.rar", "film.Part01"},
                                                      {"set.rar", "set"},
                                                      {"noext", "noext"},
                                                      {"..rar", "..rar(expanded)"},
                                                      {"...rar", "...rar(expanded)"},
                                                      {".part1.rar", ".part1"}};
    for (const auto& [archive, expected] : cases) {
        const auto glue = VLMUnrarLibGlue::initWithRarFile(
            QUrl::fromLocalFile(QStringLiteral("/data/") + archive));
        EXPECT_EQ(glue->nameForIntermediateDir(), expected) << archive.toStdString();
    }
}

TEST(OutputPlacement, KeepBothMovesTheOldItemAsideAndNeverLosesIt) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    writeFile(folder + QStringLiteral("/notes.txt"), "older");
    writeFile(folder + QLatin1Char('/') + renamed("notes", 1, "txt"), "oldest");
    writeFile(folder + QStringLiteral("/film/mine.txt"), "keep me");
    for (const QString& archive : {QStringLiteral("single.rar"), QStringLiteral("film.rar")}) {
        ScriptedGlueDelegate delegate;
        extract(folder + QLatin1Char('/') + archive, QString(), delegate);
        EXPECT_EQ(delegate.result, UnrarOutcome::Finished);
        EXPECT_EQ(delegate.existingOutputQuestions.size(), 1);
    }
    EXPECT_EQ(readFile(folder + QStringLiteral("/notes.txt")), QByteArray("single volume\n"));
    EXPECT_EQ(readFile(folder + QLatin1Char('/') + renamed("notes", 1, "txt")), "oldest");
    EXPECT_EQ(readFile(folder + QLatin1Char('/') + renamed("notes", 2, "txt")), "older");
    EXPECT_EQ(readFile(folder + QLatin1Char('/') + renamed("film", 1) + "/mine.txt"), "keep me");
    EXPECT_EQ(treeOf(folder + QStringLiteral("/film")), (QStringList{"a.mkv", "b.nfo"}));
}

TEST(OutputPlacement, OverwriteReplacesAndCancelLeavesEverythingAsItWas) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    writeFile(folder + QStringLiteral("/multi/old.txt"), "old");
    ScriptedGlueDelegate canceled;
    canceled.existingOutputAction = ExistingOutputAction::Cancel;
    extract(folder + QStringLiteral("/multi.rar"), QString(), canceled);
    EXPECT_EQ(canceled.result, UnrarOutcome::Canceled);
    EXPECT_TRUE(canceled.error.isNull());
    EXPECT_EQ(treeOf(folder + QStringLiteral("/multi")), QStringList{"old.txt"});
    ASSERT_EQ(canceled.existingOutputQuestions.size(), 1);
    EXPECT_EQ(canceled.existingOutputQuestions.first().toLocalFile(),
              folder + QStringLiteral("/multi"));

    ScriptedGlueDelegate overwritten;
    overwritten.existingOutputAction = ExistingOutputAction::Overwrite;
    extract(folder + QStringLiteral("/multi.rar"), QString(), overwritten);
    EXPECT_EQ(overwritten.result, UnrarOutcome::Finished);
    EXPECT_EQ(treeOf(folder + QStringLiteral("/multi")), (QStringList{"a.txt", "b.txt"}));
}

TEST(OutputPlacement, ExistingSymbolicLinkIsRefusedAndNeverWrittenThrough) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString outside = TestEnvironment::makeFolder(QStringLiteral("outside"));
    writeFile(outside + QStringLiteral("/victim.txt"), "original");
    // The library itself would write through a link at the entry's place.
    QFile::link(outside + QStringLiteral("/victim.txt"), folder + QStringLiteral("/notes.txt"));
    QFile::link(outside + QStringLiteral("/absent.txt"), folder + QStringLiteral("/multi"));
    for (const QString& item : {QStringLiteral("notes.txt"), QStringLiteral("multi")}) {
        ScriptedGlueDelegate delegate;
        delegate.existingOutputAction = ExistingOutputAction::Overwrite;
        extract(folder + QLatin1Char('/') + (item == "multi" ? "multi.rar" : "single.rar"),
                QString(), delegate);
        expectRefused(delegate, folder + QLatin1Char('/') + item);
    }
    EXPECT_EQ(treeOf(outside), QStringList{"victim.txt"});
    EXPECT_EQ(readFile(outside + QStringLiteral("/victim.txt")), "original");
}

TEST(OutputPlacement, OverwriteNeverRemovesTheArchiveOrAProtectedFolder) {
    const QString folder = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString home = QDir::homePath();
    QDir().mkpath(home + QStringLiteral("/Documents"));
    writeFile(home + QStringLiteral("/Documents/precious.txt"), "precious");
    // The archive's own folder as the output item: film/film.rar extracted into its parent.
    QDir().mkpath(folder + QStringLiteral("/film"));
    QFile::copy(folder + QStringLiteral("/film.rar"), folder + QStringLiteral("/film/film.rar"));
    const QList<std::tuple<QString, QString, QString>> cases = {
        {folder + "/Documents.rar", home, home + "/Documents"},
        {folder + "/self.rar", QString(), folder + "/self.rar"},
        {folder + "/film/film.rar", folder, folder + "/film"}};
    for (const auto& [archive, dest, refused] : cases) {
        ScriptedGlueDelegate delegate;
        delegate.existingOutputAction = ExistingOutputAction::Overwrite;
        extract(archive, dest, delegate);
        expectRefused(delegate, refused);
    }
    EXPECT_EQ(readFile(home + QStringLiteral("/Documents/precious.txt")), "precious");
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/self.rar")).size() > 0);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/film/film.rar")));
}

TEST(OutputPlacement, ProtectedFolders) {
    const QString home = QDir::homePath();
    const QString work = TestEnvironment::makeFolder(QStringLiteral("protected"));
    QFile::link(home, work + QStringLiteral("/home-link"));
    for (const QString& path :
         {QStringLiteral("/"), QStringLiteral("/usr"), QStringLiteral("/etc"), home,
          QDir::cleanPath(home + QStringLiteral("/..")), home + QStringLiteral("/Desktop/"),
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
          QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
          QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
          work + QStringLiteral("/home-link")})
        EXPECT_TRUE(ProtectedFolders::isProtected(path)) << path.toStdString();
    EXPECT_FALSE(ProtectedFolders::isProtected(work));
    EXPECT_FALSE(ProtectedFolders::isProtected(home + QStringLiteral("/Documents/film")));
}
