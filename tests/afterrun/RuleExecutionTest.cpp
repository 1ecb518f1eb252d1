#include "AfterRunTestSupport.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "platform/StringFormat.h"
#include "postprocess/MacroSubstitution.h"
#include "postprocess/RuleAction.h"
#include "postprocess/RuleMatching.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

PostProcessRule rule(int32_t relation, const QString& compare, bool caseInsensitive,
                     int32_t action = PostProcessRule::OpenWithDefault,
                     const QString& command = QString(), const QString& url = QString()) {
    return PostProcessRule(compare, relation, compare, caseInsensitive, action, command, url);
}

// Command-line rules run for real: TERMINAL names a stand-in terminal that runs
// its command at once, and the command records its arguments, one file per call.
class CommandLineRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = TestEnvironment::makeFolder("command-line-rule");
        m_records = m_folder + "/records";
        QDir().mkpath(m_records);
        writeExecutable(m_folder + "/bin/terminal",
                        "#!/bin/sh\n[ \"$1\" = -e ] && shift\nexec \"$@\"\n");
        writeExecutable(m_folder + "/bin/record",
                        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done "
                        "> \"$(mktemp \"$RECORDS/call.XXXXXX\")\"\n");
        qputenv("TERMINAL", QFile::encodeName(m_folder + "/bin/terminal"));
        qputenv("RECORDS", QFile::encodeName(m_records));
    }
    void TearDown() override {
        qunsetenv("TERMINAL");
        qunsetenv("RECORDS");
    }

    // The arguments the command received, once its call has been recorded.
    QStringList runRule(const QString& command, const QString& target) {
        const qsizetype before = QDir(m_records).entryList(QDir::Files).size();
        RuleAction::handleAutoPP(
            rule(PostProcessRule::EndsWith, ".zip", true, PostProcessRule::RunCommandLine, command),
            m_folder, target);
        QStringList calls;
        EXPECT_TRUE(waitUntil([&] {
            calls = QDir(m_records).entryList(QDir::Files, QDir::Time | QDir::Reversed);
            return calls.size() > before;
        }));
        if (calls.size() <= before)
            return {};
        waitUntil([] { return false; }, 50); // the recorder may still be writing
        QByteArray data = readFile(m_records + '/' + calls.last());
        QFile::remove(m_records + '/' + calls.last());
        data.chop(1);
        QStringList arguments;
        for (const QByteArray& argument : data.split('\0'))
            arguments.append(QString::fromUtf8(argument));
        return arguments;
    }

    QString m_folder;
    QString m_records;
};

} // namespace

TEST(RuleMatching, TheFirstRuleWithAnIntactFileOfTheSetWins) {
    FileStatusMap files;
    files.insert("sub/movie.ZIP", FileStatus("movie.ZIP", FileCode::Damaged));
    files.insert("notes.zip", FileStatus("notes.zip", FileCode::Intact, QString(), false));
    files.insert("set.zip", FileStatus("set.zip", FileCode::FoundUnderOtherName));
    files.insert("x.sit", FileStatus("x.sit", FileCode::Repaired));
    QString target = "stale";

    EXPECT_FALSE(RuleMatching::FindApplicablePPRule(
        {rule(PostProcessRule::Contains, "", true), rule(PostProcessRule::EndsWith, ".ZIP", false),
         rule(PostProcessRule::NoRelation, ".zip", true)},
        files, &target));
    EXPECT_TRUE(target.isNull());

    const auto chosen = RuleMatching::FindApplicablePPRule(
        {rule(PostProcessRule::EndsWith, ".Zip", true), rule(PostProcessRule::Contains, "x", true)},
        files, &target);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->mCompareString(), ".Zip");
    EXPECT_EQ(target, "set.zip");

    files["set.zip"].setFileStatusForced(FileCode::DamagedRecoverable);
    EXPECT_EQ(RuleMatching::FindApplicablePPRule({rule(PostProcessRule::EndsWith, ".zip", true),
                                                  rule(PostProcessRule::Contains, "X.S", true)},
                                                 files, &target)
                  ->mCompareString(),
              "X.S");
    EXPECT_EQ(target, "x.sit");
}

TEST(MacroSubstitution, TokensStandForPartsOfTheTargetPath) {
    const QString path = "/data/set/movie.part01.sitx";
    const PostProcessRule sitx = rule(PostProcessRule::EndsWith, ".part01.sitx", true);
    const QStringList expected = {
        path, "/data/set", "movie.part01.sitx", "movie.part01", "/data/set/movie.part01", "movie"};
    QStringList values;
    for (QChar letter : QStringLiteral("FDLKEA"))
        values.append(MacroSubstitution::macroValue(letter, path, sitx));
    EXPECT_EQ(values, expected);
    EXPECT_EQ(
        MacroSubstitution::macroValue('A', path, rule(PostProcessRule::Contains, "mov", true)),
        "movie.part01.sitx");

    const QString text = MacroSubstitution::SubstituteMacros(
        QString::fromUtf8("unzip -o «F» -d «D»¶ «F»"), "/Volumes/Data/set/a b.zip", sitx);
    EXPECT_EQ(text, "velmora_F='/Volumes/Data/set/a b.zip'\nvelmora_D='/Volumes/Data/set'\n"
                    "unzip -o \\\"\\$velmora_F\\\" -d \\\"\\$velmora_D\\\" "
                    "\\\"\\$velmora_F\\\"");
}

TEST_F(CommandLineRuleTest, NamesReachTheCommandAsOneLiteralArgumentEach) {
    const QString command =
        QString::fromUtf8("%1 «F» «L» «K» x«A»y \"«D»\" '«L»'").arg(m_folder + "/bin/record");
    const QStringList names = {"a\"b.zip",           "it's.zip",          "back\\slash\\.zip",
                               "$(touch pwned).zip", "`touch pwned`.zip", "x; touch pwned.zip",
                               "new\nline.zip",      "-rf.zip",           "¶«L»%1 $HOME.zip"};
    for (const QString& name : names) {
        const QString path = m_folder + '/' + name;
        const QStringList arguments = runRule(command, name);
        ASSERT_EQ(arguments.size(), 6) << name.toStdString();
        EXPECT_EQ(arguments.mid(0, 5),
                  QStringList({path, name, name.chopped(4), "x" + name.chopped(4) + "y", m_folder}))
            << name.toStdString();
        EXPECT_FALSE(arguments[5].contains("pwned"));
    }
    EXPECT_FALSE(QFile::exists(m_folder + "/pwned"));
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + "/pwned"));

    // The user's own quotes and shell words still act in the terminal.
    EXPECT_EQ(runRule(m_folder + "/bin/record \"$RECORDS\" a\\ b", "set.zip"),
              QStringList({m_records, "a b"}));
}

TEST_F(CommandLineRuleTest, WithoutATerminalTheScriptsMessageIsShown) {
    const QString bin = m_folder + "/tools";
    QDir().mkpath(bin);
    for (const char* tool : {"mktemp", "cat", "rm"})
        QFile::link(QStandardPaths::findExecutable(tool), bin + '/' + tool);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    qunsetenv("TERMINAL");
    ScriptedAlertPresenter alerts;
    RuleAction::handleAutoPP(
        rule(PostProcessRule::EndsWith, ".zip", true, PostProcessRule::RunCommandLine, "true"),
        m_folder, "set.zip");
    EXPECT_TRUE(waitUntil([&] { return !alerts.shown.isEmpty(); }));
    qputenv("PATH", path);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].title, localized("AppleScript"));
    EXPECT_TRUE(alerts.shown[0].message.startsWith("No terminal program was found"));
    EXPECT_TRUE(QDir(m_records).isEmpty());
}

TEST(RuleAction, OpeningFailuresAreReportedAndTheDownloadIsOffered) {
    RecordingWorkspace workspace;
    ScriptedAlertPresenter alerts(
        {kAlertDefaultReturn, kAlertDefaultReturn, kAlertOtherReturn, kAlertDefaultReturn});
    const auto open = [](int32_t action, const QString& program, const QString& url,
                         const QString& target) {
        RuleAction::handleAutoPP(
            rule(PostProcessRule::EndsWith, ".sit", true, action, program, url), "/data", target);
    };

    open(PostProcessRule::OpenWithDefault, QString(), QString(), "a.sit");
    workspace.installed = {"Archiver.app"};
    open(PostProcessRule::OpenWithProgram, "Archiver.app", "https://example.org", "b.sit");
    EXPECT_EQ(workspace.opened, QStringList({"/data/a.sit", "Archiver.app: /data/b.sit"}));
    EXPECT_TRUE(alerts.shown.isEmpty());

    workspace.opens = false;
    open(PostProcessRule::OpenWithDefault, QString(), QString(), "100%d.sit");
    open(PostProcessRule::OpenWithProgram, "Archiver.app", QString(), "c.sit");
    open(PostProcessRule::OpenWithProgram, "Stuffit Expander", "https://example.org/get", "d.sit");
    open(PostProcessRule::OpenWithProgram, "Stuffit Expander", "https://example.org/get", "e.sit");
    ASSERT_EQ(alerts.shown.size(), 4);
    EXPECT_EQ(alerts.shown[0].message,
              formatString(localized("PostProcess1Err"), QString("100%d.sit")));
    EXPECT_EQ(alerts.shown[1].message,
              formatString(localized("PostProcess2Err"), QString("c.sit"), QString("Archiver")));
    EXPECT_TRUE(alerts.shown[1].otherButton.isNull());
    EXPECT_EQ(alerts.shown[2].message,
              formatString(localized("PostProcess3Err"), QString("Stuffit Expander")));
    EXPECT_EQ(alerts.shown[2].otherButton, localized("DownloadButtonText"));
    EXPECT_EQ(alerts.shown[2].title, localized("PostProcessErrdescription"));
    EXPECT_EQ(workspace.urls, QStringList({"https://example.org/get"}));
}
