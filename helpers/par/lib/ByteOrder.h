#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::par1 {

inline std::uint64_t readLittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset,
                                      std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = (value << 8) | bytes[offset + i];
    return value;
}

inline void writeLittleEndian(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t size,
                              std::uint64_t value) {
    for (std::size_t i = 0; i < size; ++i, value >>= 8)
        bytes[offset + i] = static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace velmora::par1
