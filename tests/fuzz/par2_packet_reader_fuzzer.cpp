// Feeds arbitrary bytes to the PAR 2 helper's packet reader through a file, the way it reads a
// main file or a volume, then scans the same bytes for the slices of whatever set it accepted:
// bad input must be refused cleanly, never read out of bounds, allocate without limit or hang.

#include "BlockScanner.h"
#include "FileHandle.h"
#include "Par1Error.h"
#include "RecoverySet.h"
#include "SliceIndex.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace velmora::par2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int descriptor = ::memfd_create("par2-fuzz", MFD_CLOEXEC);
    if (descriptor < 0)
        return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    if (::write(descriptor, data, size) == static_cast<ssize_t>(size)) {
        try {
            RecoverySet set;
            set.load(path);
            std::vector<const FileDescription*> files;
            for (const Md5Digest& id : set.recoverableIds()) {
                if (const FileDescription* file = set.file(id))
                    files.push_back(file);
            }
            // A hostile slice size or file length must not make the scan huge.
            if (set.hasMainPacket() && set.sliceSize() <= 1 << 16) {
                std::uint64_t slices = 0;
                for (const FileDescription* file : files)
                    slices += (file->length + set.sliceSize() - 1) / set.sliceSize();
                if (slices <= 1 << 16) {
                    const SliceIndex index(files, set.sliceSize());
                    BlockScanner::scan(velmora::par1::FileHandle::openForReading(path), index,
                                       [](const std::vector<std::uint32_t>&, std::uint64_t) {});
                }
            }
        } catch (const velmora::par1::IoError&) {
        }
    }
    ::close(descriptor);
    return 0;
}
