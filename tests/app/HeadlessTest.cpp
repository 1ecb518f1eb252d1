#include "RunCommand.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

const QString kVelmora = QStringLiteral(VELMORA_BINARY_DIR "/bin/velmora");

// Three files protected by a PAR 2 set with 50 % redundancy: one file can go.
QString makeSet(const QString& name) {
    const QString folder = TestEnvironment::makeFolder(name);
    for (int i = 1; i <= 3; ++i) {
        QFile file(folder + QStringLiteral("/f%1.bin").arg(i));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(40000, Qt::Uninitialized);
        QRandomGenerator(i).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        file.write(bytes);
    }
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

Outcome runHeadless(const QStringList& arguments) {
    QByteArray output, errors;
    const int status =
        runCommandCapturing(TestEnvironment::root(), kVelmora,
                            QStringList{"--headless", "--json"} + arguments, output, errors);
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
    Outcome outcome = runHeadless({intact + "/set.par2"});
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
