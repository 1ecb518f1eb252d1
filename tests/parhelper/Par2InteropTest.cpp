#include "ParToolRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

namespace velmora::par1 {
namespace {

using test::runIn;
using test::runPar;
using test::TempFolder;
using ::testing::HasSubstr;

// par2cmdline reads our sets with its own PAR 1 reader; it must verify and repair them.
class Par2Interop : public ::testing::Test {
protected:
    void createSet(const std::vector<std::string>& names) {
        std::vector<std::string> arguments{"a", "-n3", "--", "s.par"};
        for (const std::string& name : names) {
            originals[name] = folder.writeRandom(name, 20'000 + 7'777 * originals.size(),
                                                 static_cast<std::uint32_t>(originals.size()));
            arguments.push_back(name);
        }
        ASSERT_EQ(runPar(folder.path(), arguments).exitCode, 0);
    }

    test::RunResult par2(const std::string& command) const {
        const test::RunResult run = runIn(folder.path(), "par2", {command, "s.par"});
        EXPECT_NE(run.exitCode, -1) << "par2 (par2cmdline) must be installed";
        return run;
    }

    void damage(const std::string& name) const {
        std::string content = folder.read(name);
        content[content.size() / 2] = static_cast<char>(content[content.size() / 2] ^ 0x01);
        folder.write(name, content);
    }

    TempFolder folder;
    std::map<std::string, std::string> originals;
};

// par2cmdline 0.8.1 turns every UTF-16 unit of a PAR 1 name into its low byte, so it looks for
// Latin-1 bytes on disk. Named that way, our files must verify and repair there as well, as
// must names with spaces.
TEST_F(Par2Interop, VerifiesAndRepairsSetsWhoseNamesHaveSpacesOrLatin1Letters) {
    const std::string utf8Name = "caf\xC3\xA9 cr\xC3\xA8me \xC3\xBC.bin";
    const std::string latin1Name = "caf\xE9 cr\xE8me \xFC.bin";
    createSet({utf8Name, "first file.bin", "second one.dat", "third.txt"});
    std::filesystem::rename(folder / utf8Name, folder / latin1Name);
    originals[latin1Name] = originals[utf8Name];
    originals.erase(utf8Name);

    const test::RunResult verify = par2("verify");
    EXPECT_EQ(verify.exitCode, 0) << verify.out;
    EXPECT_THAT(verify.out, HasSubstr("Target: \"" + latin1Name + "\" - found."));

    std::filesystem::remove(folder / latin1Name);
    std::filesystem::remove(folder / "first file.bin");
    damage("third.txt");
    const test::RunResult repair = par2("repair");
    EXPECT_EQ(repair.exitCode, 0) << repair.out;
    for (const auto& [name, content] : originals)
        EXPECT_TRUE(folder.read(name) == content) << name;

    // Our own reader finds the Latin-1 named file by its content and gives it its real name.
    const test::RunResult fixed = runPar(folder.path(), {"r", "-f", "--", "s.par"});
    EXPECT_THAT(fixed.err,
                HasSubstr("    Rename: caf\xC3\xA9 cr\xC3\xA8me \xC3\xBC.bin -> " + utf8Name));
    EXPECT_EQ(fixed.exitCode, 0);
}

} // namespace
} // namespace velmora::par1
