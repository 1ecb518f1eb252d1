#include "Output.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace velmora::par2 {
namespace {

void writeAll(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::string Output::escaped(std::string_view name) {
    std::string result;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            result += escaped;
        } else {
            result += c;
        }
    }
    return result;
}

void Output::line(std::string_view text) const {
    std::string whole(text);
    whole += '\n';
    write(whole);
}

void Output::write(std::string_view text) const {
    writeAll(STDOUT_FILENO, text);
}

void Output::error(std::string_view text) const {
    std::string whole(text);
    whole += '\n';
    writeAll(STDERR_FILENO, whole);
}

void ProgressLine::update(double fraction) {
    const auto now = std::chrono::steady_clock::now();
    if (fraction < 1.0 && now - last_ < std::chrono::milliseconds(250))
        return;
    last_ = now;
    char text[64];
    std::snprintf(text, sizeof text, "%s: %.1f%%\r", label_.c_str(), fraction * 100.0);
    output_.write(text);
}

} // namespace velmora::par2
