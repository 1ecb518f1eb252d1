#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora::par1 {

using Md5Digest = std::array<std::uint8_t, 16>;

inline constexpr std::size_t kHeaderSize = 0x60;
inline constexpr std::size_t kEntryFixedSize = 0x38;
inline constexpr std::uint32_t kFileVersion = 0x00010000;
// 'V' for Velmora in the high byte, version 0.1.0 below it.
inline constexpr std::uint32_t kProgramId = 0x56000100;
inline constexpr std::size_t kMaxParityFiles = 255;
inline constexpr unsigned kMaxVolumes = 99;
inline constexpr std::size_t kHash16kSize = 16384;
inline constexpr std::uint64_t kStatusInParity = 1;
inline constexpr std::uint64_t kStatusChecked = 2;
// A real file list holds at most a few hundred short names; anything larger is refused before
// it is read so that a damaged header cannot make us allocate gigabytes.
inline constexpr std::uint64_t kMaxFileListSize = 16 * 1024 * 1024;

} // namespace velmora::par1
