// Usage: bench_par2helper [FOLDER [MIB]]. Writes 10 files of MIB/10 MiB in all (default 160;
// 1024 gives the figures the helper is held to) into a temporary folder (inside FOLDER when
// given), then times, best of two runs each, our par2SL against md5sum and par2cmdline measured
// in the same run: verifying the intact set, creating a set at 10 % redundancy, and repairing a
// set with 1 % of its data overwritten. The data stays in the page cache, so the figures compare
// computing work rather than the disk. par2SL's peak memory is printed against its bound.

#include "QuietRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kFiles = 10;
constexpr int kRuns = 2;
constexpr int kMemoryBoundMiB = 256;
constexpr std::size_t kPiece = 1 << 20;

struct Timing {
    double wall = 1e9;
    long peakKiB = 0;
};

std::filesystem::path makeFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "bench-par2-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

// Written a piece at a time: a child's peak memory counts the benchmark's own, as the child
// shares it until it starts its program.
std::vector<std::string> writeFiles(const std::filesystem::path& folder, std::size_t fileSize) {
    std::vector<std::string> names;
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::vector<std::uint64_t> buffer(kPiece / sizeof(std::uint64_t));
    for (int i = 0; i < kFiles; ++i) {
        names.push_back("data" + std::to_string(i) + ".bin");
        std::ofstream file(folder / names.back(), std::ios::binary);
        for (std::size_t done = 0; done < fileSize; done += kPiece) {
            for (auto& word : buffer) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                word = state;
            }
            file.write(reinterpret_cast<const char*>(buffer.data()),
                       static_cast<std::streamsize>(std::min(kPiece, fileSize - done)));
        }
    }
    return names;
}

// Runs the command in folder with its output discarded; returns its peak memory in KiB.
long run(const std::filesystem::path& folder, const std::vector<std::string>& command,
         std::vector<int> accepted = {0}) {
    return runQuietly(folder, command, accepted).ru_maxrss;
}

Timing bestOf(const std::string& label, const std::function<void()>& prepare,
              const std::function<long()>& work) {
    Timing best;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        const long peak = work();
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, wall.count());
        best.peakKiB = std::max(best.peakKiB, peak);
    }
    std::printf("%-36s %8.3f s  (peak memory %ld MiB)\n", label.c_str(), best.wall,
                best.peakKiB / 1024);
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path parent =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::size_t totalMiB = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 160;
    const std::size_t fileSize = (totalMiB << 20) / kFiles / 8 * 8;
    const std::filesystem::path folder = makeFolder(parent);
    const std::vector<std::string> files = writeFiles(folder, fileSize);
    const std::string ours = PAR2_TOOL_PATH;
    auto with = [&](std::vector<std::string> command) {
        command.insert(command.end(), files.begin(), files.end());
        return command;
    };
    auto removeSet = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with("set"))
                std::filesystem::remove(entry.path());
        }
    };
    // 1 % of the data overwritten in the middle of one file; the last repair's leftovers gone.
    const std::string damaged = (folder / files[4]).string();
    const std::string original = damaged + ".orig";
    std::filesystem::copy_file(damaged, original);
    auto damage = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().ends_with(".bin.1"))
                std::filesystem::remove(entry.path());
        std::filesystem::copy_file(original, damaged,
                                   std::filesystem::copy_options::overwrite_existing);
        std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(fileSize / 4));
        const std::vector<char> junk(kPiece, 'X');
        for (std::size_t left = (totalMiB << 20) / 100; left > 0;) {
            const std::size_t part = std::min(left, kPiece);
            file.write(junk.data(), static_cast<std::streamsize>(part));
            left -= part;
        }
    };
    auto nothing = [] {};

    std::printf("PAR 2 helper, %d files, %zu MiB in all\n", kFiles, totalMiB);
    run(folder, with({"md5sum"}));
    const Timing md5 = bestOf("md5sum", nothing, [&] { return run(folder, with({"md5sum"})); });
    const Timing ourCreate = bestOf("par2SL c -r10", removeSet, [&] {
        return run(folder, with({ours, "c", "-r10", "--", "set.par2"}));
    });
    const Timing theirCreate = bestOf("par2 c -r10", removeSet, [&] {
        return run(folder, with({"par2", "c", "-r10", "--", "set.par2"}));
    });
    const Timing ourVerify = bestOf("par2SL v (intact)", nothing, [&] {
        return run(folder, with({ours, "v", "--", "set.par2"}));
    });
    const Timing theirVerify = bestOf("par2 v (intact)", nothing, [&] {
        return run(folder, with({"par2", "v", "--", "set.par2"}));
    });
    const Timing ourRepair = bestOf("par2SL r (1 % damaged)", damage, [&] {
        return run(folder, with({ours, "r", "--", "set.par2"}));
    });
    run(folder, {"cmp", damaged, original});
    const Timing theirRepair = bestOf("par2 r (1 % damaged)", damage, [&] {
        return run(folder, with({"par2", "r", "--", "set.par2"}));
    });
    run(folder, {"cmp", damaged, original});
    std::filesystem::remove_all(folder);

    std::printf("verify/md5sum: %.2f\n", ourVerify.wall / md5.wall);
    std::printf("verify/par2cmdline: %.2f\n", ourVerify.wall / theirVerify.wall);
    std::printf("create/par2cmdline: %.2f\n", ourCreate.wall / theirCreate.wall);
    std::printf("repair/par2cmdline: %.2f\n", ourRepair.wall / theirRepair.wall);
    const long peak = std::max({ourCreate.peakKiB, ourVerify.peakKiB, ourRepair.peakKiB});
    std::printf("par2SL peak memory: %ld MiB (bound %d MiB)\n", peak / 1024, kMemoryBoundMiB);
    return 0;
}
