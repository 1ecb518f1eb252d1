#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora::par2 {

// The CRC-32 of zip and Ethernet, with a window that slides one byte at a time over data: the
// checksum of bytes [p+1, p+1+n) follows from that of [p, p+n) and the two bytes that change.
class Crc32 {
public:
    static std::uint32_t of(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
    // The checksum of size more zero bytes after data whose checksum is crc.
    static std::uint32_t extendWithZeros(std::uint32_t crc, std::uint64_t size);

    explicit Crc32(std::uint64_t windowSize);
    std::uint32_t slide(std::uint32_t crc, std::uint8_t leaving, std::uint8_t entering) const {
        const std::uint32_t state = ~crc;
        return ~(table()[(state ^ entering) & 0xff] ^ (state >> 8)) ^ leavingTerm_[leaving];
    }

private:
    static const std::array<std::uint32_t, 256>& table();

    std::array<std::uint32_t, 256> leavingTerm_;
};

} // namespace velmora::par2
