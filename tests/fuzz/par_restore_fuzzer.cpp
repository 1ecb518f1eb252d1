// Runs a whole `par r -f -m` (as the application runs it) over a folder made
// from the input: a sequence of files, each a name byte (one of the names a
// set of s.par may hold, or a stranger's), a 16-bit little-endian size and
// that many bytes. The helper must refuse what it cannot use, restore only
// inside the folder, and never crash, hang or read out of bounds.
#include "CheckCommand.h"
#include "CommandLine.h"
#include "Reporter.h"

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace velmora::par1;

namespace {

const char* const kNames[] = {"s.par", "s.P01", "s.P02",     "s.p03", "a.bin",
                              "b.bin", "c",     "a.bin.bad", "S.PAR"};

const std::filesystem::path& folder() {
    static const std::filesystem::path made = [] {
        char pattern[] = "/tmp/par-restore-fuzz-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            std::abort();
        return std::filesystem::path(pattern) / "set";
    }();
    return made;
}

void makeFolder(const std::uint8_t* data, std::size_t size) {
    std::filesystem::remove_all(folder());
    std::filesystem::create_directory(folder());
    while (size >= 3) {
        const char* name = kNames[data[0] % std::size(kNames)];
        const std::size_t length = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
        std::ofstream(folder() / name, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(data + 3), std::streamsize(length));
        data += 3 + length;
        size -= 3 + length;
    }
}

// The report goes nowhere while the command runs; the sanitizers' reports
// still reach standard error.
class SilencedReport {
public:
    SilencedReport() : saved_(::dup(STDERR_FILENO)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
    ~SilencedReport() {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    SilencedReport(const SilencedReport&) = delete;
    SilencedReport& operator=(const SilencedReport&) = delete;

private:
    int saved_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    makeFolder(data, size);
    const CommandLine line =
        CommandLine::parse({"r", "-O", "+C", "-f", "-m", "--", (folder() / "s.par").string()});
    const Reporter reporter;
    const SilencedReport silenced;
    try {
        CheckCommand(line, reporter).run();
    } catch (const std::exception&) {
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder().parent_path()))
        if (entry.path() != folder())
            std::abort();
    return 0;
}
