#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace velmora::par2 {

// Writes the report to standard output at once, unbuffered, so that the application sees every
// line the moment it exists. Names are quoted with their control characters escaped: a name can
// never end a line or forge one.
class Output {
public:
    static std::string escaped(std::string_view name);
    static std::string quoted(std::string_view name) { return '"' + escaped(name) + '"'; }

    void line(std::string_view text = {}) const;
    void write(std::string_view text) const;
    void error(std::string_view text) const;
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
