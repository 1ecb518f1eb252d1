#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::par1::test {

// A private folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes size pseudo-random bytes derived from seed and returns them.
    std::string writeRandom(const std::string& name, std::size_t size, std::uint32_t seed) const;
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::filesystem::path path_;
};

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs program with arguments in folder and collects its exit code and both output streams.
RunResult runIn(const std::filesystem::path& folder, const std::string& program,
                const std::vector<std::string>& arguments);
RunResult runPar(const std::filesystem::path& folder, const std::vector<std::string>& arguments);

// The lines of a report without their line feeds, with the blanks that pad names before " - "
// reduced to one.
std::vector<std::string> reportLines(const std::string& text);

} // namespace velmora::par1::test
