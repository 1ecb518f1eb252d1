#include "RunCommand.h"
#include "TestEnvironment.h"
#include "app/CommandLine.h"
#include "platform/StringTables.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString kVelmora = QStringLiteral(VELMORA_BINARY_DIR "/bin/velmora");

QByteArray randomBytes(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Three files protected by a PAR 2 set with 50 % redundancy: one file can go.
QString makeSet(const QString& name) {
    const QString folder = TestEnvironment::makeFolder(name);
    for (int i = 1; i <= 3; ++i)
        writeBytes(folder + QStringLiteral("/f%1.bin").arg(i), randomBytes(40000, quint32(i)));
    EXPECT_EQ(runCommand(folder, "par2",
                         {"c", "-q", "-q", "-b30", "-r50", "--", "set.par2", "f1.bin", "f2.bin",
                          "f3.bin"}),
              0);
    return folder;
}

struct Outcome {
    int exitStatus;
    QJsonObject json;
};

Outcome runHeadless(const QStringList& arguments, QByteArray* allOutput = nullptr) {
    QByteArray output, errors;
    const int status =
        runCommandCapturing(TestEnvironment::root(), kVelmora,
                            QStringList{"--headless", "--json"} + arguments, output, errors);
    if (allOutput != nullptr)
        *allOutput = output + errors;
    return {status, QJsonDocument::fromJson(output.trimmed()).object()};
}

int fileStatus(const QJsonObject& json, const QString& name) {
    for (const QJsonValue& file : json["files"].toArray())
        if (file["name"].toString() == name)
            return file["status"].toInt();
    return -1;
}

} // namespace

TEST(HeadlessTest, ReportsIntactRepairedAndUnrepairableSetsAsJson) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    const QString intact = makeSet("intact");
    // Named twice, the set runs once: one report.
    Outcome outcome = runHeadless({intact + "/set.par2", intact + "/./set.par2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 5);
    EXPECT_EQ(outcome.json["type"].toString(), "PAR2 File");
    EXPECT_EQ(outcome.json["files"].toArray().size(), 3);
    EXPECT_EQ(outcome.json["statistics"].toArray().size(), 8);

    const QString repaired = makeSet("repaired");
    QFile::remove(repaired + "/f2.bin");
    outcome = runHeadless({repaired + "/set.par2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 7);
    EXPECT_EQ(fileStatus(outcome.json, "f2.bin"), 9);
    EXPECT_TRUE(QFile::exists(repaired + "/f2.bin"));

    const QString lost = makeSet("lost");
    QFile::remove(lost + "/f1.bin");
    QFile::remove(lost + "/f2.bin");
    outcome = runHeadless({lost + "/set.par2"});
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.json["status"].toInt(), 4);
    EXPECT_EQ(fileStatus(outcome.json, "f1.bin"), 6);
}

TEST(HeadlessTest, UsageErrorsAndUnreadableFilesExitWithTwo) {
    EXPECT_EQ(runHeadless({}).exitStatus, 2);
    EXPECT_EQ(runHeadless({"--no-such-option", "x.par2"}).exitStatus, 2);
    EXPECT_EQ(runHeadless({TestEnvironment::root() + "/missing.par2"}).exitStatus, 2);
    const QString folder = TestEnvironment::makeFolder("text");
    QFile(folder + "/notes.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(runHeadless({folder + "/notes.txt"}).exitStatus, 2);
}

TEST(HeadlessTest, CreatesAndRepairsAPar1SetThroughTheCommandLine) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    const QString folder = makeSet("par1");
    const QStringList files{folder + "/f1.bin", folder + "/f2.bin", folder + "/f3.bin"};
    const QString other = TestEnvironment::makeFolder("par1-other");
    EXPECT_EQ(runHeadless(QStringList{"--create", other + "/new.par", "--volumes", "1"} + files)
                  .exitStatus,
              2);
    EXPECT_EQ(QDir(other).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFile::exists(folder + "/new.par"));
    Outcome outcome =
        runHeadless(QStringList{"--create", folder + "/new.par", "--volumes", "1"} + files);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 12);
    EXPECT_EQ(outcome.json["type"].toString(), "PAR File");
    EXPECT_TRUE(QFile::exists(folder + "/new.P01"));

    QFile::remove(folder + "/f3.bin");
    outcome = runHeadless({folder + "/new.par"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 7);
    EXPECT_EQ(fileStatus(outcome.json, "f3.bin"), 9);
}

namespace {

// An encrypted RAR 5 archive of two files in 3 volumes, data.part1.rar to
// data.part3.rar, made by the real rar; the originals are removed.
QString makeEncryptedArchive(const QString& name, const QByteArray& first,
                             const QByteArray& second) {
    const QString folder = TestEnvironment::makeFolder(name);
    writeBytes(folder + "/one.bin", first);
    writeBytes(folder + "/two.bin", second);
    EXPECT_EQ(runCommand(folder, "rar",
                         {"a", "-idq", "-ma5", "-m0", "-v30k", "-psecret-pw", "-df", "data.rar",
                          "one.bin", "two.bin"}),
              0);
    return folder;
}

QString writePasswordFile(const QString& folder, const QByteArray& content, int mode) {
    const QString path = folder + "/passwords";
    writeBytes(path, content);
    EXPECT_EQ(::chmod(qPrintable(path), mode_t(mode)), 0);
    return path;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList trashed() {
    return QDir(TestEnvironment::root() + "/home/.local/share/Trash/files")
        .entryList(QDir::Files | QDir::NoDotAndDotDot);
}

} // namespace

TEST(HeadlessRarTest, AnArchiveIsExtractedWithThePasswordFileWhichNeverShows) {
    const QByteArray first = randomBytes(50000, 1), second = randomBytes(20000, 2);
    const QString folder = makeEncryptedArchive("rar-password", first, second);
    const QString passwords = writePasswordFile(folder, "wrong\nsecret-pw\n", 0600);
    QByteArray printed;
    const Outcome outcome = runHeadless(
        {"--password-file", passwords, "--set", "DeleteSegOption=2", folder + "/data.part1.rar"},
        &printed);
    EXPECT_EQ(outcome.exitStatus, 0) << printed.constData();
    const QJsonObject extraction = outcome.json["extraction"].toObject();
    EXPECT_EQ(outcome.json["type"].toString(), "RAR archive");
    EXPECT_EQ(extraction["outcome"].toString(), "success");
    const QString output = extraction["outputPath"].toString();
    EXPECT_EQ(contentOf(output + "/one.bin"), first);
    EXPECT_EQ(contentOf(output + "/two.bin"), second);
    // DeleteSegOption=2 for this run: the volumes are gone, not in the trash.
    EXPECT_FALSE(QFile::exists(folder + "/data.part1.rar"));
    EXPECT_FALSE(QFile::exists(folder + "/data.part3.rar"));
    EXPECT_TRUE(trashed().filter("data.part").isEmpty());
    EXPECT_FALSE(printed.contains("secret-pw"));
    EXPECT_FALSE(printed.contains("wrong"));
}

TEST(HeadlessRarTest, WithoutThePasswordTheExtractionFailsAndLeavesTheVolumes) {
    const QString folder =
        makeEncryptedArchive("rar-nopassword", randomBytes(50000, 3), randomBytes(20000, 4));
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const Outcome outcome = runHeadless({folder + "/data.part1.rar"});
    EXPECT_EQ(outcome.exitStatus, 1);
    const QJsonObject extraction = outcome.json["extraction"].toObject();
    EXPECT_EQ(extraction["outcome"].toString(), "failed");
    EXPECT_TRUE(extraction["outputPath"].isNull());
    EXPECT_FALSE(extraction["error"].toString().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    // Passwords were given, none of them right: that is what the error says.
    const QString passwords =
        writePasswordFile(TestEnvironment::makeFolder("rar-wrong"), "wrong\nalso-wrong\n", 0600);
    const Outcome wrong = runHeadless({"--password-file", passwords, folder + "/data.part1.rar"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.json["extraction"].toObject()["error"].toString(),
              StringTables::localized("VLMUnrarErrorDomain24"));
}

TEST(HeadlessRarTest, RefusedPasswordFilesAndSettingsStopBeforeAnythingRuns) {
    const QString folder =
        makeEncryptedArchive("rar-refused", randomBytes(50000, 5), randomBytes(100, 6));
    const QString archive = folder + "/data.part1.rar";
    QByteArray printed;
    const QString shared = writePasswordFile(folder, "secret-pw\n", 0644);
    EXPECT_EQ(runHeadless({"--password-file", shared, archive}, &printed).exitStatus, 2);
    EXPECT_FALSE(printed.contains("secret-pw"));
    EXPECT_EQ(runHeadless({"--set", "NoSuchKey=1", archive}).exitStatus, 2);
    EXPECT_EQ(runHeadless({"--set", "PPRules=x", archive}).exitStatus, 2);
    EXPECT_EQ(runHeadless({"--set", archive}).exitStatus, 2);
    EXPECT_EQ(runHeadless({"--set", "AutoDeletePnn=maybe", archive}).exitStatus, 2);
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(folder + "/one.bin"));
}

TEST(CommandLineTest, SetReadsFlagsAsTheStoreWritesThemAndRefusesAnythingElse) {
    const auto flagOf = [](const QString& value) {
        CommandLine commandLine;
        if (!commandLine.parse({"--set", "AutoDeletePnn=" + value, "set.par2"}))
            return QVariant();
        return commandLine.settings().value(0).second;
    };
    for (const char* off : {"NO", "no", "False", "0"})
        EXPECT_EQ(flagOf(off), QVariant(false)) << off;
    for (const char* on : {"YES", "yes", "TRUE", "1"})
        EXPECT_EQ(flagOf(on), QVariant(true)) << on;
    for (const char* refused : {"", "2", "on", "nope", "YES "})
        EXPECT_FALSE(flagOf(refused).isValid()) << refused;
    CommandLine number;
    ASSERT_TRUE(number.parse({"--set", "DeleteSegOption=2", "a.rar"}));
    EXPECT_EQ(number.settings().value(0).second, QVariant(qlonglong(2)));
}
