#include "BlockScanner.h"

#include "Crc32.h"
#include "Md5Hasher.h"

#include <algorithm>

namespace velmora::par2 {
namespace {

constexpr std::size_t kReadAhead = 4 * 1024 * 1024;

// The file's bytes around the window, read in large pieces; zeros past the end.
class Window {
public:
    Window(const par1::FileHandle& file, std::uint64_t sliceSize)
        : file_(file), fileSize_(file.size()), sliceSize_(sliceSize) {}

    std::uint64_t fileSize() const { return fileSize_; }

    // The byte leaving the window at position and the one entering it.
    std::pair<std::uint8_t, std::uint8_t> edgesAt(std::uint64_t position) {
        const std::uint64_t end = std::min(fileSize_, position + sliceSize_ + 1);
        if (position < start_ || end > start_ + buffer_.size())
            fill(position);
        const std::uint64_t entering = position + sliceSize_;
        return {buffer_[static_cast<std::size_t>(position - start_)],
                entering < fileSize_ ? buffer_[static_cast<std::size_t>(entering - start_)] : 0};
    }

    // CRC-32 and the bytes of the window that starts at position, padded with zeros.
    std::uint32_t crcAt(std::uint64_t position) {
        const std::size_t present = presentAt(position);
        return Crc32::extendWithZeros(Crc32::of(pointer(position), present), sliceSize_ - present);
    }

    Md5Digest md5At(std::uint64_t position) {
        static const std::vector<std::uint8_t> zeros(64 * 1024);
        const std::size_t present = presentAt(position);
        par1::Md5Hasher hasher;
        hasher.update(pointer(position), present);
        for (std::uint64_t left = sliceSize_ - present; left > 0;) {
            const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
            hasher.update(zeros.data(), part);
            left -= part;
        }
        return hasher.finish();
    }

private:
    std::size_t presentAt(std::uint64_t position) const {
        return static_cast<std::size_t>(std::min(sliceSize_, fileSize_ - position));
    }

    // Makes the window at position lie wholly in the buffer.
    const std::uint8_t* pointer(std::uint64_t position) {
        const std::uint64_t end = std::min(fileSize_, position + sliceSize_);
        if (position < start_ || end > start_ + buffer_.size())
            fill(position);
        return buffer_.data() + (position - start_);
    }

    void fill(std::uint64_t position) {
        const std::uint64_t want =
            std::min<std::uint64_t>(sliceSize_ + 1 + kReadAhead, fileSize_ - position);
        buffer_.resize(static_cast<std::size_t>(want));
        file_.readExactly(position, buffer_);
        start_ = position;
    }

    const par1::FileHandle& file_;
    std::uint64_t fileSize_;
    std::uint64_t sliceSize_;
    std::uint64_t start_ = 0;
    std::vector<std::uint8_t> buffer_;
};

} // namespace

void BlockScanner::scan(const par1::FileHandle& file, const SliceIndex& index, const Found& found) {
    const std::uint64_t sliceSize = index.sliceSize();
    Window window(file, sliceSize);
    const Crc32 rolling(sliceSize);
    std::uint64_t position = 0;
    std::uint32_t crc = window.fileSize() > 0 ? window.crcAt(0) : 0;
    while (position < window.fileSize()) {
        if (index.mayHave(crc)) {
            std::vector<std::uint32_t> matches = index.withCrc(crc);
            if (!matches.empty()) {
                const Md5Digest md5 = window.md5At(position);
                std::erase_if(matches, [&](std::uint32_t slice) {
                    return index.at(slice).checksum.md5 != md5;
                });
            }
            if (!matches.empty()) {
                found(matches, position);
                position += sliceSize;
                if (position < window.fileSize())
                    crc = window.crcAt(position);
                continue;
            }
        }
        const auto [leaving, entering] = window.edgesAt(position);
        crc = rolling.slide(crc, leaving, entering);
        ++position;
    }
}

} // namespace velmora::par2
