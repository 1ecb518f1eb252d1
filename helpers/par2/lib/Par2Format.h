#pragma once

#include "Par1Constants.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora::par2 {

using Md5Digest = par1::Md5Digest;

inline constexpr std::string_view kPacketMagic{"PAR2\0PKT", 8};
inline constexpr std::size_t kPacketHeaderSize = 64;
inline constexpr std::string_view kMainType{"PAR 2.0\0Main\0\0\0\0", 16};
inline constexpr std::string_view kFileDescriptionType{"PAR 2.0\0FileDesc", 16};
inline constexpr std::string_view kSliceChecksumType{"PAR 2.0\0IFSC\0\0\0\0", 16};
inline constexpr std::string_view kRecoverySliceType{"PAR 2.0\0RecvSlic", 16};
inline constexpr std::string_view kCreatorType{"PAR 2.0\0Creator\0", 16};
inline constexpr std::string_view kUnicodeNameType{"PAR 2.0\0UniFileN", 16};

inline constexpr std::size_t kHash16kSize = 16384;
inline constexpr std::uint32_t kMaxSlices = 32768;
// Every packet but a recovery slice is small (a main packet for the largest set is half a
// megabyte); a larger length is damage, and refusing it keeps a hostile file from making us
// allocate gigabytes.
inline constexpr std::uint64_t kMaxMetadataBody = 4 * 1024 * 1024;
inline constexpr std::uint64_t kDefaultMemoryBudget = 256ull * 1024 * 1024;

inline std::uint32_t readLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline std::uint64_t readLe64(const std::uint8_t* p) {
    return std::uint64_t(readLe32(p)) | std::uint64_t(readLe32(p + 4)) << 32;
}

inline void appendLe32(auto& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void appendLe64(auto& out, std::uint64_t value) {
    appendLe32(out, static_cast<std::uint32_t>(value));
    appendLe32(out, static_cast<std::uint32_t>(value >> 32));
}

inline Md5Digest digestAt(const std::uint8_t* p) {
    Md5Digest digest;
    std::copy(p, p + digest.size(), digest.begin());
    return digest;
}

// File IDs are ordered as 16-byte little-endian numbers.
inline bool fileIdLess(const Md5Digest& a, const Md5Digest& b) {
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    return false;
}

} // namespace velmora::par2
