#include "Md5Hasher.h"
#include "Par1FileList.h"
#include "Par1SetWriter.h"
#include "Par1VolumeFile.h"
#include "ParToolRun.h"

#include <csignal>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::par1 {
namespace {

using test::reportLines;
using test::runPar;
using test::TempFolder;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

const std::string kBar = "0%----10%----20%----30%----40%----50%----60%----70%----80%----90%---100%";

class ParTool : public ::testing::Test {
protected:
    // Writes files of the given sizes and creates s.par with the given number of volumes.
    void makeSet(const std::vector<std::pair<std::string, std::size_t>>& files, unsigned volumes) {
        std::vector<std::string> arguments{"a", "-n" + std::to_string(volumes), "--", "s.par"};
        for (const auto& [name, size] : files) {
            originals[name] =
                folder.writeRandom(name, size, static_cast<std::uint32_t>(originals.size() + 7));
            arguments.push_back(name);
        }
        const test::RunResult created = runPar(folder.path(), arguments);
        ASSERT_EQ(created.exitCode, 0) << created.err;
    }

    void expectOriginals() const {
        for (const auto& [name, content] : originals)
            EXPECT_TRUE(folder.read(name) == content) << name << " differs";
    }

    void damage(const std::string& name, std::size_t offset) const {
        std::string content = folder.read(name);
        content[offset] = static_cast<char>(content[offset] ^ 0x5A);
        folder.write(name, content);
    }

    TempFolder folder;
    std::map<std::string, std::string> originals;
};

TEST_F(ParTool, CreateReportsEveryFileAVolumeAndTheProgressOnStandardError) {
    folder.writeRandom("a.bin", 3000, 1);
    folder.writeRandom("long name with spaces.txt", 10, 2);
    const test::RunResult run = runPar(
        folder.path(), {"a", "-O", "-n2", "--", "s.par", "a.bin", "long name with spaces.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    const std::string pad(35, ' ');
    EXPECT_EQ(run.err, "a.bin" + pad + " - OK\n" + "long name with spaces.txt" +
                           std::string(15, ' ') + " - OK\n" + "Creating PAR volumes:\n" + kBar +
                           "\n" + "s.par" + pad + " - OK\n" + "s.P01" + pad + " - OK\n" + "s.P02" +
                           pad + " - OK\n");
    const test::RunResult check = runPar(folder.path(), {"c", "--", "s.par"});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_THAT(reportLines(check.err), ElementsAre("a.bin - OK", "long name with spaces.txt - OK",
                                                    "Looking for PXX volumes:", "s.P01 - OK",
                                                    "s.P02 - OK", "", "All files found"));
    const Par1VolumeFile volume = Par1VolumeFile::open(folder / "s.P02");
    EXPECT_TRUE(volume.controlHashMatches());
    EXPECT_EQ(volume.header().dataSize, 3000u);
    EXPECT_EQ(volume.header().setHash, Par1FileList::setHash(volume.entries()));
}

class RestoreFromAsManyVolumes : public ParTool, public ::testing::WithParamInterface<int> {};

TEST_P(RestoreFromAsManyVolumes, RestoresMissingAndDamagedFiles) {
    const int k = GetParam();
    makeSet({{"one.bin", 150'000}, {"two.bin", 70'001}, {"three.bin", 3}, {"four.bin", 0}}, 3);
    // Keep only k volumes, not always the first ones.
    const std::vector<std::vector<std::string>> kept{
        {"s.P03"}, {"s.P01", "s.P03"}, {"s.P01", "s.P02", "s.P03"}};
    for (const std::string volume : {"s.P01", "s.P02", "s.P03"}) {
        if (std::find(kept[k - 1].begin(), kept[k - 1].end(), volume) == kept[k - 1].end())
            std::filesystem::remove(folder / volume);
    }
    std::filesystem::remove(folder / "two.bin");
    if (k >= 2)
        damage("one.bin", 149'999);
    if (k >= 3)
        folder.write("three.bin", "xy");

    const test::RunResult run = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> expected{k >= 2 ? "one.bin - CORRUPT" : "one.bin - OK",
                                      "two.bin - NOT FOUND",
                                      k >= 3 ? "three.bin - CORRUPT" : "three.bin - OK",
                                      "four.bin - OK", "Looking for PXX volumes:"};
    for (const std::string& volume : kept[k - 1])
        expected.push_back(volume + " - OK");
    const std::vector<std::string> damaged{"one.bin", "two.bin", "three.bin"};
    auto forDamaged = [&](const std::string& ending) {
        for (const std::string& name : damaged) {
            if (name != "one.bin" || k >= 2) {
                if (name != "three.bin" || k >= 3)
                    expected.push_back(name + " - " + ending);
            }
        }
    };
    forDamaged("can be restored");
    expected.push_back("Restoring:");
    expected.push_back(kBar);
    forDamaged("RECOVERED");
    EXPECT_THAT(reportLines(run.err), ElementsAreArray(expected));
    expectOriginals();
}

INSTANTIATE_TEST_SUITE_P(OneTwoThree, RestoreFromAsManyVolumes, ::testing::Values(1, 2, 3));

// Opened through a volume, the set is the same: that volume counts as well.
TEST_F(ParTool, RestoresThroughAnyVolumeOfTheSet) {
    makeSet({{"one.bin", 5000}, {"two.bin", 4000}}, 2);
    std::filesystem::remove(folder / "one.bin");
    std::filesystem::remove(folder / "two.bin");
    std::filesystem::remove(folder / "s.par");
    const test::RunResult run = runPar(folder.path(), {"r", "--", "s.P01"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(reportLines(run.err), ::testing::Contains("s.P01 - OK"));
    expectOriginals();
}

TEST_F(ParTool, FixesMisnamedFilesAndMovesDamagedFilesAside) {
    makeSet({{"a.bin", 40'000}, {"b.bin", 30'000}}, 1);
    std::filesystem::rename(folder / "a.bin", folder / "downloaded.tmp");
    damage("b.bin", 10);
    const std::string damagedB = folder.read("b.bin");
    folder.write("b.bin.bad", "an older leftover");

    const test::RunResult run = runPar(folder.path(), {"r", "-O", "+C", "-f", "-m", "--", "s.par"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(reportLines(run.err),
                ElementsAre("    Rename: downloaded.tmp -> a.bin", "a.bin - FIXED",
                            "b.bin - CORRUPT", "Looking for PXX volumes:", "s.P01 - OK",
                            "b.bin - can be restored", "Restoring:", kBar,
                            "    Rename: b.bin -> b.bin.bad.1", "b.bin - RECOVERED"));
    expectOriginals();
    EXPECT_FALSE(folder.exists("downloaded.tmp"));
    EXPECT_EQ(folder.read("b.bin.bad"), "an older leftover");
    EXPECT_TRUE(folder.read("b.bin.bad.1") == damagedB);
}

TEST_F(ParTool, ReportsFilesOutsideTheParityData) {
    originals["data.bin"] = folder.writeRandom("data.bin", 5000, 1);
    folder.writeRandom("notes.txt", 700, 2);
    Par1SetWriter(folder.path(), "s.par", {{"data.bin", true}, {"notes.txt", false}}, 1)
        .write(false, [](double) {});

    const test::RunResult intact = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(intact.exitCode, 0);
    EXPECT_THAT(reportLines(intact.err),
                ElementsAre("data.bin - OK", "notes.txt - not in PAR volume set", "notes.txt - OK",
                            "Looking for PXX volumes:", "s.P01 - OK", "", "All files found"));

    std::filesystem::remove(folder / "notes.txt");
    damage("data.bin", 4999);
    const test::RunResult damaged = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_THAT(reportLines(damaged.err),
                ElementsAre("data.bin - CORRUPT", "notes.txt - not in PAR volume set",
                            "notes.txt - NOT FOUND", "Looking for PXX volumes:", "s.P01 - OK",
                            "data.bin - can be restored", "Restoring:", kBar,
                            "data.bin - RECOVERED", "", "All recoverable files found"));
    expectOriginals();
}

TEST_F(ParTool, LooksForVolumesUnderOtherNamesAndReportsTooManyMissingFiles) {
    makeSet({{"a", 1000}, {"b", 2000}, {"c", 3000}}, 2);
    std::filesystem::rename(folder / "s.P02", folder / "renamed volume");
    std::filesystem::remove(folder / "a");
    std::filesystem::remove(folder / "c");
    const test::RunResult found = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_THAT(reportLines(found.err),
                ElementsAre("a - NOT FOUND", "b - OK", "c - NOT FOUND",
                            "Looking for PXX volumes:", "s.P01 - OK",
                            "Looking for additional PXX volumes:", "renamed volume - OK",
                            "a - can be restored", "c - can be restored", "Restoring:", kBar,
                            "a - RECOVERED", "c - RECOVERED"));
    expectOriginals();

    std::filesystem::remove(folder / "renamed volume");
    std::filesystem::remove(folder / "a");
    damage("b", 0);
    const test::RunResult shortOfVolumes = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(shortOfVolumes.exitCode, 1);
    EXPECT_THAT(reportLines(shortOfVolumes.err),
                ElementsAre("a - NOT FOUND", "b - CORRUPT", "c - OK", "Looking for PXX volumes:",
                            "s.P01 - OK", "", "Too many missing files:", "a", "b"));
    EXPECT_FALSE(folder.exists("a"));
}

TEST_F(ParTool, RefusesUnusableNamesAndKeepsExistingVolumes) {
    folder.writeRandom("a.bin", 100, 1);
    std::filesystem::create_directory(folder / "sub");
    folder.writeRandom("sub/x", 100, 2);
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
        {{"a", "--", "s.par", "a.bin", "sub/x"}, "folder part"},
        {{"a", "--", "s.par", "a.bin", ""}, "empty"},
        {{"a", "--", "s.par", "a.bin", "a.bin"}, "twice"},
        {{"a", "--", "s.par", "missing"}, "no such file"},
        {{"a", "-n100", "--", "s.par", "a.bin"}, "0 to 99"},
        {{"a", "--", "s.txt", "a.bin"}, ".par"},
    };
    for (const auto& [arguments, reason] : refusals) {
        const test::RunResult run = runPar(folder.path(), arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_THAT(run.err, HasSubstr(reason));
        EXPECT_FALSE(folder.exists("s.par"));
    }

    folder.write("s.P01", "someone's file");
    const test::RunResult kept = runPar(folder.path(), {"a", "-n1", "--", "s.par", "a.bin"});
    EXPECT_EQ(kept.exitCode, 2);
    EXPECT_THAT(kept.err, HasSubstr("s.P01"));
    EXPECT_EQ(folder.read("s.P01"), "someone's file");
    EXPECT_FALSE(folder.exists("s.par"));
    // A path into the set's own folder names a file of that folder.
    EXPECT_EQ(runPar(folder.path(), {"a", "-O", "-n1", "--", "s.par", "./a.bin"}).exitCode, 0);
    EXPECT_THAT(reportLines(runPar(folder.path(), {"c", "--", "s.par"}).err),
                ::testing::Contains("a.bin - OK"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 4)
        << "no temporary left";
}

// Writes an index file with a correct control hash for an arbitrary file list.
void writeIndex(const TempFolder& folder, const std::vector<Par1FileEntry>& entries) {
    const std::vector<std::uint8_t> list = Par1FileList::serialize(entries);
    Par1Header header;
    header.fileCount = entries.size();
    header.fileListSize = list.size();
    header.setHash = Par1FileList::setHash(entries);
    const auto head = header.serialize();
    std::vector<std::uint8_t> file(kHeaderSize + list.size());
    std::copy(head.begin(), head.end(), file.begin());
    std::copy(list.begin(), list.end(), file.begin() + kHeaderSize);
    const Md5Digest control = Md5Hasher::of(std::span(file).subspan(0x20));
    std::copy(control.begin(), control.end(), file.begin() + 0x10);
    folder.write("s.par", std::string(file.begin(), file.end()));
}

TEST_F(ParTool, RefusesParFilesItCannotUse) {
    const test::RunResult absent = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(absent.exitCode, 2);
    EXPECT_EQ(absent.err.rfind("Error reading PAR file", 0), 0u) << absent.err;

    folder.write("s.par",
                 "just some text that is long enough to hold a header of ninety-six bytes....");
    EXPECT_EQ(runPar(folder.path(), {"r", "--", "s.par"}).err, "Not a PAR file\n");

    Par1FileEntry escaping;
    escaping.name = "../escaped";
    writeIndex(folder, {escaping});
    const test::RunResult unsafe = runPar(folder.path(), {"r", "-f", "--", "s.par"});
    EXPECT_EQ(unsafe.exitCode, 2);
    EXPECT_THAT(unsafe.err, HasSubstr("Error reading PAR file: unusable file name \"../escaped\""));
    EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "escaped"));

    Par1FileEntry twice;
    twice.name = "same";
    writeIndex(folder, {twice, twice});
    EXPECT_THAT(runPar(folder.path(), {"r", "--", "s.par"}).err, HasSubstr("names \"same\" twice"));
}

TEST_F(ParTool, ReadsTheFileListFromAVolumeWhenTheIndexIsDamaged) {
    makeSet({{"a", 1000}, {"b", 2000}}, 1);
    damage("s.par", 0x70);
    std::filesystem::remove(folder / "b");
    const test::RunResult run = runPar(folder.path(), {"r", "--", "s.par"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(reportLines(run.err),
                ElementsAre("s.par is damaged; its file list is read from s.P01", "a - OK",
                            "b - NOT FOUND", "Looking for PXX volumes:", "s.P01 - OK",
                            "b - can be restored", "Restoring:", kBar, "b - RECOVERED"));
    expectOriginals();
}

TEST_F(ParTool, KeepsNamesExactAndMatchesCaseOnlyAsAsked) {
    const std::string clef = "\xF0\x9D\x84\x9E caf\xC3\xA9.bin";
    makeSet({{clef, 100}, {"Data.bin", 200}}, 1);
    const Par1VolumeFile index = Par1VolumeFile::open(folder / "s.par");
    EXPECT_EQ(index.entries()[0].name, clef);

    std::filesystem::rename(folder / "Data.bin", folder / "data.bin");
    EXPECT_THAT(reportLines(runPar(folder.path(), {"c", "+C", "--", "s.par"}).err)[1],
                "Data.bin - NOT FOUND");
    const test::RunResult ignoringCase = runPar(folder.path(), {"c", "-C", "--", "s.par"});
    EXPECT_THAT(reportLines(ignoringCase.err)[1], "Data.bin - OK");
}

} // namespace
} // namespace velmora::par1

namespace velmora::par1 {
namespace {

bool anyPartialVolume(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".part-") != std::string::npos)
            return true;
    return false;
}

// Stopped by an interrupt, a hang-up, or the loss of its output pipe (signal 0):
// the creation ends by that signal and leaves no partial volume.
TEST(ParToolInterrupt, AnInterruptedCreationLeavesNoPartialVolumes) {
    for (const int signal : {SIGINT, SIGHUP, 0}) {
        TempFolder folder;
        std::vector<std::string> arguments{"a", "-n20", "--", "s.par"};
        for (int i = 0; i < 4; ++i) {
            const std::string name = "f" + std::to_string(i) + ".bin";
            folder.writeRandom(name, 24u << 20, static_cast<std::uint32_t>(i));
            arguments.push_back(name);
        }
        std::vector<char*> argv{const_cast<char*>(PAR_TOOL_PATH)};
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int output[2];
        ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.path().c_str());
        posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, PAR_TOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        fcntl(output[0], F_SETFL, O_NONBLOCK);
        char buffer[4096];
        for (int waited = 0; waited < 2000 && !anyPartialVolume(folder.path()); ++waited) {
            while (read(output[0], buffer, sizeof buffer) > 0) {
            }
            usleep(5000);
        }
        ASSERT_TRUE(anyPartialVolume(folder.path())) << "the creation never started writing";
        close(output[0]);
        if (signal != 0)
            kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == (signal != 0 ? signal : SIGPIPE))
            << signal;
        EXPECT_FALSE(anyPartialVolume(folder.path())) << signal;
    }
}

} // namespace
} // namespace velmora::par1
