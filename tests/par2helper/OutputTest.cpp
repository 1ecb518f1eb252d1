#include "Output.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <unistd.h>

using velmora::par2::Output;

namespace {

// What arrives on the descriptor until `wanted` lines have come or the time is up.
std::string readLines(int descriptor, int wanted, std::chrono::milliseconds limit) {
    std::string seen;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::count(seen.begin(), seen.end(), '\n') < wanted &&
           std::chrono::steady_clock::now() < end) {
        pollfd ready{descriptor, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        char chunk[256];
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got > 0)
            seen.append(chunk, std::size_t(got));
    }
    return seen;
}

} // namespace

// Lines are gathered, yet one with nothing after it (the name of a file that
// takes minutes to read) still arrives while the helper works; an error comes
// after the lines written before it.
TEST(OutputTest, ALoneLineArrivesWhileTheHelperWorksAndErrorsKeepTheirPlace) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const int savedOut = ::dup(STDOUT_FILENO);
    const int savedErr = ::dup(STDERR_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::dup2(pipeEnds[1], STDERR_FILENO);
    std::string alone;
    std::string ordered;
    {
        const Output output;
        output.line("Opening: \"big.iso\"");
        alone = readLines(pipeEnds[0], 1, std::chrono::seconds(5));
        output.line("Target: \"big.iso\" - found.");
        output.error("Error: no space left");
        ordered = readLines(pipeEnds[0], 2, std::chrono::seconds(5));
    }
    ::dup2(savedOut, STDOUT_FILENO);
    ::dup2(savedErr, STDERR_FILENO);
    ::close(savedOut);
    ::close(savedErr);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    EXPECT_EQ(alone, "Opening: \"big.iso\"\n");
    EXPECT_EQ(ordered, "Target: \"big.iso\" - found.\nError: no space left\n");
}
