#include "ParToolRun.h"

#include <fcntl.h>
#include <fstream>
#include <random>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::par1::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "parhelper-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::writeRandom(const std::string& name, std::size_t size,
                                    std::uint32_t seed) const {
    std::mt19937 generator(seed);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(generator() & 0xFF);
    write(name, content);
    return content;
}

void TempFolder::write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary | std::ios::trunc) << content;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::symlink_status(path_ / name));
}

RunResult runIn(const std::filesystem::path& folder, const std::string& program,
                const std::vector<std::string>& arguments) {
    TempFolder capture;
    const std::string outPath = (capture / "out").string();
    const std::string errPath = (capture / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    RunResult result;
    if (spawned != 0)
        return result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = capture.read("out");
    result.err = capture.read("err");
    return result;
}

RunResult runPar(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
    return runIn(folder, PAR_TOOL_PATH, arguments);
}

std::vector<std::string> reportLines(const std::string& text) {
    const std::regex padding(" +- ");
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(std::regex_replace(line, padding, " - "));
    return lines;
}

} // namespace velmora::par1::test
