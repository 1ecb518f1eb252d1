#include "Reporter.h"

#include "TemporaryFileRegistry.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <unistd.h>

namespace velmora::par1 {
namespace {

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

void Reporter::write(std::string_view text) const {
    while (!text.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EPIPE)
            TemporaryFileRegistry::outputLost();
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Reporter::line(std::string_view text) const {
    std::string whole(text);
    whole += '\n';
    write(whole);
}

void Reporter::fileLine(std::string_view name, std::string_view ending) const {
    std::string whole(name);
    whole.append(kNameColumns - std::min(kNameColumns, characterCount(name)), ' ');
    whole += " - ";
    whole += ending;
    line(whole);
}

} // namespace velmora::par1
