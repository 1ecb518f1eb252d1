#include "../par2/Par2TestSupport.h"
#include "Localized.h"
#include "RunCommand.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/CommandLine.h"
#include "platform/FileNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kVelmora = QStringLiteral(VELMORA_BINARY_DIR "/bin/velmora");

// Three files protected by a PAR 2 set with 50 % redundancy: one file can go.
// The files are named after the set, so that several sets can share a folder.
QString makeSet(const QString& name, const QString& set = "set", int size = 40000,
                const QString& folder = QString()) {
    const QString where = folder.isEmpty() ? TestEnvironment::makeFolder(name) : folder;
    QStringList files;
    for (int i = 1; i <= 3; ++i) {
        files.append(set == "set" ? QStringLiteral("f%1.bin").arg(i)
                                  : QStringLiteral("%1-f%2.bin").arg(set).arg(i));
        writeFile(where + "/" + files.last(), randomBytes(size, quint32(i + qHash(set))));
    }
    EXPECT_EQ(runCommand(where, "par2",
                         QStringList{"c", "-q", "-q", "-b30", "-r50", "--", set + ".par2"} + files),
              0);
    return where;
}

struct Outcome {
    int exitStatus;
    QJsonObject json;         // the last line
    QList<QJsonObject> lines; // every line, in order
};

// The program runs the helpers of the build tree.
Outcome runHeadless(const QStringList& arguments, QByteArray* allOutput = nullptr) {
    qputenv("VELMORA_HELPERS_DIR", VELMORA_HELPERS_BUILD_DIR);
    QByteArray output, errors;
    const int status =
        runCommandCapturing(TestEnvironment::root(), kVelmora,
                            QStringList{"--headless", "--json"} + arguments, output, errors);
    if (allOutput != nullptr)
        *allOutput = output + errors;
    Outcome outcome{status, {}, {}};
    for (const QByteArray& line : output.split('\n'))
        if (!line.isEmpty())
            outcome.lines.append(QJsonDocument::fromJson(line).object());
    if (!outcome.lines.isEmpty())
        outcome.json = outcome.lines.last();
    return outcome;
}

int fileStatus(const QJsonObject& json, const QString& name) {
    for (const QJsonValue& file : json["files"].toArray())
        if (file["name"].toString() == name)
            return file["status"].toInt();
    return -1;
}

} // namespace

TEST(HeadlessTest, ReportsIntactRepairedAndUnrepairableSetsAsJson) {
    const QString intact = makeSet("intact");
    // Named twice, the set runs once: one report.
    Outcome outcome =
        runHeadless({"--set", "AutoDeletePnn=NO", intact + "/set.par2", intact + "/./set.par2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 5);
    EXPECT_EQ(outcome.json["type"].toString(), "PAR2 File");
    EXPECT_EQ(outcome.json["files"].toArray().size(), 3);
    const int volumes = int(outcome.json["recoveryFiles"].toArray().size());
    EXPECT_GT(volumes, 0);
    EXPECT_EQ(outcome.json["statistics"].toObject()["recoveryVolumesFound"].toInt(), volumes);

    const QString repaired = makeSet("repaired");
    QFile::remove(repaired + "/f2.bin");
    outcome = runHeadless({repaired + "/set.par2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.json["status"].toInt(), 7);
    EXPECT_EQ(fileStatus(outcome.json, "f2.bin"), 9);
    EXPECT_TRUE(QFile::exists(repaired + "/f2.bin"));
    // What docs/json.md promises a script, read the way a script reads it.
    const QJsonObject& line = outcome.json;
    EXPECT_EQ(line["schema"].toInt(), 1);
    EXPECT_EQ(line["path"].toString(), repaired + "/set.par2");
    EXPECT_EQ(line["statusName"].toString(), "repaired");
    EXPECT_FALSE(line["statusText"].toString().isEmpty());
    const QJsonObject statistics = line["statistics"].toObject();
    // Counted again after the repair.
    EXPECT_EQ(statistics["totalFiles"].toInt(), 3);
    EXPECT_EQ(statistics["intactFiles"].toInt(), 3);
    EXPECT_EQ(statistics["missingFiles"].toInt(), 0);
    EXPECT_GT(statistics["blockSize"].toInt(), 0);
    for (const char* key :
         {"damagedFiles", "recoveryVolumesFound", "badFilesNotInVolumeSet", "missingBlocks"})
        EXPECT_TRUE(statistics[key].isDouble()) << key;
    for (const QJsonValue file : line["files"].toArray()) {
        for (const char* key :
             {"name", "status", "statusName", "statusText", "inVolumeSet", "associatedFilename"})
            EXPECT_TRUE(file.toObject().contains(key)) << key;
        if (file["name"].toString() == "f2.bin") {
            EXPECT_EQ(file["statusName"].toString(), "repaired");
        }
    }
    EXPECT_FALSE(line["recoveryFiles"].toArray().isEmpty());
    for (const QJsonValue file : line["recoveryFiles"].toArray())
        for (const char* key : {"name", "status", "blocks", "associatedFilename"})
            EXPECT_TRUE(file.toObject().contains(key)) << key;
    const QJsonObject postProcessing = line["postProcessing"].toObject();
    EXPECT_EQ(postProcessing["action"].toString(), "none");
    EXPECT_TRUE(postProcessing["deletedFiles"].isArray());

    const QString lost = makeSet("lost");
    QFile::remove(lost + "/f1.bin");
    QFile::remove(lost + "/f2.bin");
    outcome = runHeadless({lost + "/set.par2"});
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.json["status"].toInt(), 4);
    EXPECT_EQ(outcome.json["statusName"].toString(), "repairImpossible");
    EXPECT_EQ(fileStatus(outcome.json, "f1.bin"), 6);
}

// The set's stored names are read on a worker before the run; a set with very
// many of them is reported once its run is over, not as idle before it began.
TEST(HeadlessTest, ASetWithVeryManyStoredNamesIsReportedAfterItsRun) {
    const QString folder = makeSet("many-names");
    QFile main(folder + "/set.par2");
    ASSERT_TRUE(main.open(QIODevice::Append));
    // File description packets with a checksum the helper refuses: only a reader that trusts
    // packets without checking them lists these names.
    for (int i = 0; i < 150000; ++i)
        main.write(fileDescriptionPacket("extra" + QByteArray::number(i).rightJustified(8, '0')));
    main.close();
    const Outcome outcome = runHeadless({folder + "/set.par2"});
    EXPECT_EQ(outcome.json["statusName"].toString(), "allIntact");
    EXPECT_EQ(outcome.exitStatus, 0);
}

TEST(HeadlessTest, EventsFollowARealRepairUpToItsResult) {
    const QString folder = makeSet("events", "set", 400000);
    QFile::remove(folder + "/f3.bin");
    const Outcome outcome = runHeadless({"--events", folder + "/set.par2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    ASSERT_GT(outcome.lines.size(), 4);
    QStringList events;
    QList<QPair<QDateTime, int>> progress;
    bool sawRestoredFile = false;
    for (const QJsonObject& line : outcome.lines.mid(0, outcome.lines.size() - 1)) {
        const QString event = line["event"].toString();
        events.append(event);
        EXPECT_EQ(line["schema"].toInt(), 1);
        EXPECT_EQ(line["path"].toString(), folder + "/set.par2") << event.toStdString();
        const QDateTime time = QDateTime::fromString(line["time"].toString(), Qt::ISODateWithMs);
        EXPECT_TRUE(time.isValid()) << line["time"].toString().toStdString();
        if (event == "progress") {
            progress.append({time, line["percent"].toInt(-1)});
            EXPECT_GE(progress.last().second, 0);
            EXPECT_TRUE(line.contains("secondsLeft"));
        }
        if (event == "fileStatus" && line["file"].toString() == "f3.bin" &&
            line["statusName"].toString() == "repaired")
            sawRestoredFile = true;
    }
    EXPECT_EQ(events.first(), "queued");
    // Progress belongs to a run: none before it starts.
    EXPECT_LT(events.indexOf("started"), events.indexOf("progress"));
    EXPECT_EQ(events.last(), "finished");
    EXPECT_EQ(outcome.lines[events.size() - 1]["statusName"].toString(), "repaired");
    EXPECT_TRUE(events.contains("status"));
    EXPECT_TRUE(sawRestoredFile);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().second, 100);
    // Only a run's end may follow the line before it at once.
    for (qsizetype i = 1; i < progress.size(); ++i)
        if (progress[i].second < 100) {
            EXPECT_GE(progress[i - 1].first.msecsTo(progress[i].first), 240);
        }
    // The result line closes the document's lines, as without --events.
    EXPECT_FALSE(outcome.json.contains("event"));
    EXPECT_EQ(outcome.json["status"].toInt(), 7);
}

// Two intact, one repairable and one broken PAR 2 set per kind of name, PAR 1 sets and
// a set in a subfolder: a dozen sets, each reported once however many volumes it has.
TEST(HeadlessTest, AFolderOfMixedSetsEndsWithTheRightSummary) {
    const QString folder = TestEnvironment::makeFolder("folder");
    for (const char* set :
         {"intact1", "intact2", "intact3", "volumesOnly", "fix1", "fix2", "fix3", "lost1", "lost2"})
        makeSet(QString(), set, 2000, folder);
    QFile::remove(folder + "/volumesOnly.par2");
    for (const char* set : {"fix1", "fix2", "fix3"})
        QFile::remove(folder + "/" + set + "-f1.bin");
    for (const char* set : {"lost1", "lost2"}) {
        QFile::remove(folder + "/" + set + "-f1.bin");
        QFile::remove(folder + "/" + set + "-f2.bin");
    }
    // The PAR 1 sets are made through the command line, only in the folder of their files.
    const QString other = TestEnvironment::makeFolder("par1-other");
    for (const QString set : {"old", "oldfix"}) {
        const QStringList files{folder + "/" + set + ".a", folder + "/" + set + ".b"};
        writeFile(files[0], randomBytes(3000, quint32(qHash(set))));
        writeFile(files[1], randomBytes(3000, quint32(qHash(set) + 1)));
        EXPECT_EQ(runHeadless(QStringList{"--create", other + "/x.par", "--volumes", "1"} + files)
                      .exitStatus,
                  2);
        const Outcome created = runHeadless(
            QStringList{"--create", folder + "/" + set + ".par", "--volumes", "1"} + files);
        EXPECT_EQ(created.exitStatus, 0);
        EXPECT_EQ(created.json["status"].toInt(), 12);
        EXPECT_EQ(created.json["type"].toString(), "PAR File");
        EXPECT_TRUE(QFile::exists(folder + "/" + set + ".P01"));
    }
    EXPECT_EQ(QDir(other).entryList(QDir::Files), QStringList());
    QFile::remove(folder + "/oldfix.b");
    QDir(folder).mkdir("sub");
    makeSet(QString(), "nested", 2000, folder + "/sub");
    writeFile(folder + "/notes.txt", "not a set");

    const Outcome outcome = runHeadless({"--recursive", folder});
    EXPECT_EQ(outcome.exitStatus, 1);
    QStringList paths;
    for (const QJsonObject& line : outcome.lines) {
        const QString name = QFileInfo(line["path"].toString()).fileName();
        if (!name.isEmpty())
            paths.append(name);
        if (name == "oldfix.par") {
            EXPECT_EQ(fileStatus(line, "oldfix.b"), 9);
        }
    }
    paths.sort();
    EXPECT_EQ(paths,
              QStringList({"fix1.par2", "fix2.par2", "fix3.par2", "intact1.par2", "intact2.par2",
                           "intact3.par2", "lost1.par2", "lost2.par2", "nested.par2", "old.par",
                           "oldfix.par", "volumesOnly.vol00+1.par2"}));
    EXPECT_EQ(outcome.json["schema"].toInt(), 1);
    EXPECT_EQ(QJsonDocument(outcome.json["summary"].toObject()).toJson(QJsonDocument::Compact),
              R"({"failed":0,"intact":6,"notRepairable":2,"repaired":4,"setsFound":12})");

    // Without --recursive a folder's subfolders stay out: here it has no set of its own.
    const QString outer = TestEnvironment::makeFolder("outer");
    QDir(outer).mkdir("inner");
    makeSet(QString(), "inner", 2000, outer + "/inner");
    EXPECT_EQ(runHeadless({outer}).exitStatus, 2);
    const Outcome nested = runHeadless({"--recursive", outer});
    EXPECT_EQ(nested.exitStatus, 0);
    EXPECT_EQ(nested.json["summary"]["intact"].toInt(), 1);
}

TEST(HeadlessTest, UsageErrorsAndUnreadableFilesExitWithTwo) {
    EXPECT_EQ(runHeadless({}).exitStatus, 2);
    EXPECT_EQ(runHeadless({"--no-such-option", "x.par2"}).exitStatus, 2);
    EXPECT_EQ(runHeadless({TestEnvironment::root() + "/missing.par2"}).exitStatus, 2);
    const QString folder = TestEnvironment::makeFolder("text");
    QFile(folder + "/notes.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(runHeadless({folder + "/notes.txt"}).exitStatus, 2);
}

TEST(HeadlessTest, FilesWhoseNamesAreNotUtf8AreProtectedThroughTheCommandLine) {
    const QString folder = TestEnvironment::makeFolder("latin1");
    const QString latin1Name = FileNames::decode("caf\xe9 \xff.bin");
    const QString latin1 = folder + '/' + latin1Name;
    const QString utf8 = folder + "/plain.bin";
    ASSERT_TRUE(writeFile(latin1, randomBytes(10000, 9)));
    writeFile(utf8, randomBytes(30000, 10));

    QByteArray output;
    // Named as a user in the set's parent folder would name it.
    const Outcome outcome = runHeadless(
        {"--create", folder + "/set.par2", "--redundancy", "50", "work/latin1/" + latin1Name, utf8},
        &output);
    EXPECT_EQ(outcome.exitStatus, 0) << output.toStdString();
    EXPECT_EQ(outcome.json["status"].toInt(), 12);
    EXPECT_EQ(runCommand(folder, "par2", {"v", "-q", "--", "set.par2"}), 0);
    ASSERT_EQ(::unlink(FileNames::encode(latin1).constData()), 0);
    EXPECT_EQ(runCommand(folder, "par2", {"r", "-q", "--", "set.par2"}), 0);
    EXPECT_EQ(FileNames::kindAt(latin1), FileNames::Kind::RegularFile);
}

namespace {

QString writePasswordFile(const QString& folder, const QByteArray& content, int mode) {
    const QString path = folder + "/passwords";
    writeFile(path, content);
    EXPECT_EQ(::chmod(qPrintable(path), mode_t(mode)), 0);
    return path;
}

} // namespace

// An encrypted RAR 5 archive of two files in three volumes, made by the real rar: without
// its password, with wrong ones, or with a refused password file or setting, its volumes
// stay; a private password file extracts it, and no password ever shows.
TEST(HeadlessRarTest, AnEncryptedArchiveStaysUntilAPrivatePasswordFileOpensIt) {
    const QByteArray first = randomBytes(50000, 1), second = randomBytes(20000, 2);
    const QString folder = TestEnvironment::makeFolder("rar");
    writeFile(folder + "/one.bin", first);
    writeFile(folder + "/two.bin", second);
    ASSERT_EQ(runCommand(folder, "rar",
                         {"a", "-idq", "-ma5", "-m0", "-v30k", "-psecret-pw", "-df", "data.rar",
                          "one.bin", "two.bin"}),
              0);
    const QString archive = folder + "/data.part1.rar";
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const Outcome outcome = runHeadless({archive});
    EXPECT_EQ(outcome.exitStatus, 1);
    const QJsonObject failed = outcome.json["extraction"].toObject();
    EXPECT_EQ(failed["outcome"].toString(), "failed");
    EXPECT_TRUE(failed["outputPath"].isNull());
    EXPECT_FALSE(failed["error"].toString().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    // Passwords were given, none of them right: that is what the error says.
    const QString wrongOnes =
        writePasswordFile(TestEnvironment::makeFolder("rar-wrong"), "wrong\nalso-wrong\n", 0600);
    const Outcome wrong = runHeadless({"--password-file", wrongOnes, archive});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.json["extraction"].toObject()["error"].toString(),
              localized("VLMUnrarErrorDomain24"));

    // Refused password files and settings stop the run before anything runs.
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

    const QString passwords =
        writePasswordFile(TestEnvironment::makeFolder("rar-right"), "wrong\nsecret-pw\n", 0600);
    const Outcome extracted = runHeadless(
        {"--password-file", passwords, "--set", "DeleteSegOption=2", archive}, &printed);
    EXPECT_EQ(extracted.exitStatus, 0) << printed.constData();
    const QJsonObject extraction = extracted.json["extraction"].toObject();
    EXPECT_EQ(extracted.json["type"].toString(), "RAR archive");
    EXPECT_EQ(extraction["outcome"].toString(), "success");
    const QString output = extraction["outputPath"].toString();
    EXPECT_EQ(readFile(output + "/one.bin"), first);
    EXPECT_EQ(readFile(output + "/two.bin"), second);
    // DeleteSegOption=2 for this run: the volumes are gone, not in the trash.
    EXPECT_FALSE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(folder + "/data.part3.rar"));
    EXPECT_TRUE(trashedNames().filter("data.part").isEmpty());
    EXPECT_FALSE(printed.contains("secret-pw"));
    EXPECT_FALSE(printed.contains("wrong"));
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
