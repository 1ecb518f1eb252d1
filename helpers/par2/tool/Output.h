#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace velmora::par2 {

// Writes the report to standard output. Lines are gathered and written together
// at most kFlushInterval after the first of them, so that a set of tens of
// thousands of files costs a few hundred writes instead of one per line, while
// the application still sees every line within a moment of its being made.
// Names are quoted with their control characters escaped: a name can never end
// a line or forge one.
class Output {
public:
    static constexpr std::chrono::milliseconds kFlushInterval{20};

    Output();
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    static std::string escaped(std::string_view name);
    static std::string quoted(std::string_view name) { return '"' + escaped(name) + '"'; }

    void line(std::string_view text = {}) const;
    void write(std::string_view text) const;
    // Standard error, after whatever standard output holds, so that the two read in order.
    void error(std::string_view text) const;
    void flush() const;

private:
    void flushLoop();
    void flushLocked() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable pending_;
    mutable std::string buffer_;
    bool stopping_ = false;
    std::thread flusher_;
};

// "LABEL: 12.5%" progress, ended by a carriage return and written at most a few times a second.
class ProgressLine {
public:
    ProgressLine(const Output& output, std::string label)
        : output_(output), label_(std::move(label)) {}

    void update(double fraction);

private:
    const Output& output_;
    std::string label_;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace velmora::par2
