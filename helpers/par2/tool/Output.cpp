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

// Past this much, lines are written at once rather than left for the flusher.
constexpr std::size_t kBufferLimit = 64 * 1024;

Output::Output() : flusher_([this] { flushLoop(); }) {}

Output::~Output() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    pending_.notify_one();
    flusher_.join();
    flush();
}

void Output::line(std::string_view text) const {
    std::string whole(text);
    whole += '\n';
    write(whole);
}

void Output::write(std::string_view text) const {
    std::lock_guard lock(mutex_);
    const bool wasEmpty = buffer_.empty();
    buffer_ += text;
    if (buffer_.size() >= kBufferLimit)
        flushLocked();
    else if (wasEmpty)
        pending_.notify_one();
}

void Output::error(std::string_view text) const {
    std::string whole(text);
    whole += '\n';
    std::lock_guard lock(mutex_);
    flushLocked();
    writeAll(STDERR_FILENO, whole);
}

void Output::flush() const {
    std::lock_guard lock(mutex_);
    flushLocked();
}

void Output::flushLocked() const {
    writeAll(STDOUT_FILENO, buffer_);
    buffer_.clear();
}

// Waits for a first line, gives the lines after it kFlushInterval to join it, writes them all.
void Output::flushLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        pending_.wait(lock, [this] { return stopping_ || !buffer_.empty(); });
        if (stopping_)
            break;
        pending_.wait_for(lock, kFlushInterval, [this] { return stopping_; });
        flushLocked();
    }
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
