// Usage: bench_par1 [FOLDER]. Writes 8 files of 32 MiB into a temporary folder (inside FOLDER
// when given), then times, best of five runs each: md5sum of the files, `par a -n5`, `par c`,
// `par r` restoring one missing file, and `par2 repair` restoring the same file. The data stays
// in the page cache, so the figures compare computing work rather than the disk. Like the
// application, each creation starts without the volumes of an earlier set.

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

constexpr int kFiles = 8;
constexpr std::size_t kFileSize = 32u << 20;
constexpr int kRuns = 5;

std::filesystem::path makeFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "bench-par1-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

std::vector<std::string> writeFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::vector<std::uint64_t> buffer(kFileSize / sizeof(std::uint64_t));
    for (int i = 0; i < kFiles; ++i) {
        for (auto& word : buffer) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        names.push_back("data" + std::to_string(i) + ".bin");
        std::ofstream(folder / names.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(buffer.data()),
                   static_cast<std::streamsize>(kFileSize));
    }
    return names;
}

// Runs the command in folder with its output discarded and returns the processor time it used
// (user and system); exits on failure.
double run(const std::filesystem::path& folder, const std::vector<std::string>& command) {
    const rusage usage = runQuietly(folder, command);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall = 1e9;
    double processor = 1e9;
};

// Best wall-clock and best processor time of kRuns runs; prepare runs before each, untimed.
Timing bestOf(const std::string& label, const std::function<void()>& prepare,
              const std::function<double()>& work) {
    Timing best;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        const double processor = work();
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, wall.count());
        best.processor = std::min(best.processor, processor);
    }
    std::printf("%-30s %7.3f s  (processor time %.3f s)\n", label.c_str(), best.wall,
                best.processor);
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path parent =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::filesystem::path folder = makeFolder(parent);
    const std::vector<std::string> files = writeFiles(folder);
    const std::string par = PAR_TOOL_PATH;
    const std::string restored = files[3];
    const std::string original = (folder / restored).string() + ".orig";
    std::filesystem::copy_file(folder / restored, original);

    std::vector<std::string> md5sum{"md5sum"};
    std::vector<std::string> create{par, "a", "-n5", "--", "set.par"};
    md5sum.insert(md5sum.end(), files.begin(), files.end());
    create.insert(create.end(), files.begin(), files.end());
    auto nothing = [] {};
    // The application removes the volumes of an earlier set before it creates one.
    auto removeVolumes = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().rfind("set.", 0) == 0)
                std::filesystem::remove(entry.path());
        }
    };
    auto removeOne = [&] { std::filesystem::remove(folder / restored); };
    auto checkRestored = [&] { run(folder, {"cmp", restored, original}); };
    auto runPar = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), par);
        return [&folder, arguments] { return run(folder, arguments); };
    };

    std::printf("PAR 1 helper, %d files of %zu MiB\n", kFiles, kFileSize >> 20);
    run(folder, md5sum); // bring the files into the page cache
    const Timing md5 = bestOf("md5sum", nothing, [&] { return run(folder, md5sum); });
    const Timing made = bestOf("par a -n5", removeVolumes, [&] { return run(folder, create); });
    bestOf("par c", nothing, runPar({"c", "--", "set.par"}));
    const Timing ours = bestOf("par r (1 missing file)", removeOne, runPar({"r", "--", "set.par"}));
    checkRestored();
    const Timing theirs = bestOf("par2 repair (1 missing file)", removeOne, [&] {
        return run(folder, {"par2", "repair", "set.par"});
    });
    checkRestored();
    std::filesystem::remove_all(folder);

    // On a busy machine the processor-time ratios are the steadier figures.
    std::printf("create/md5sum (processor time): %.2f\n", made.processor / md5.processor);
    std::printf("restore/par2cmdline (processor time): %.2f\n", ours.processor / theirs.processor);
    std::printf("create/md5sum: %.2f\n", made.wall / md5.wall);
    std::printf("restore/par2cmdline: %.2f\n", ours.wall / theirs.wall);
    return 0;
}
