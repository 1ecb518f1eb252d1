// Feeds arbitrary bytes to the PAR 1 reader, both from memory and through a file, the way the
// helper reads an index file or a volume: it must refuse bad input cleanly, never read out of
// bounds, allocate without limit or hang. What it accepts must survive writing and reading back.

#include "Par1Error.h"
#include "Par1FileList.h"
#include "Par1VolumeFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace velmora::par1;

namespace {

void checkRoundTrip(const std::vector<Par1FileEntry>& entries) {
    const std::vector<std::uint8_t> list = Par1FileList::serialize(entries);
    const std::vector<Par1FileEntry> again = Par1FileList::parse(list, entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (again[i].name != entries[i].name || again[i].size != entries[i].size ||
            again[i].status != entries[i].status || again[i].fullHash != entries[i].fullHash)
            std::abort();
    }
}

void readFromMemory(std::span<const std::uint8_t> bytes) {
    Par1Header header;
    std::vector<Par1FileEntry> entries;
    try {
        Par1VolumeFile::parse(bytes, header, entries);
        Par1FileList::setHash(entries);
        Par1FileList::validate(entries, bytes.size() % 2 == 0);
        checkRoundTrip(entries);
    } catch (const Par1FormatError&) {
    }
}

void readFromFile(std::span<const std::uint8_t> bytes) {
    const int descriptor = ::memfd_create("par1-fuzz", MFD_CLOEXEC);
    if (descriptor < 0)
        return;
    if (::write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
        try {
            const Par1VolumeFile file =
                Par1VolumeFile::open("/proc/self/fd/" + std::to_string(descriptor));
            file.controlHashMatches();
        } catch (const Par1FormatError&) {
        } catch (const IoError&) {
        }
    }
    ::close(descriptor);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    readFromMemory(bytes);
    readFromFile(bytes);
    return 0;
}
