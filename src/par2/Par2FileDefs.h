#pragma once

#include <cstdint>

// The parts of the PAR 2.0 packet layout that are read to list the names a set
// protects. All integers in a packet are little-endian.
namespace Par2FileDefs {

inline constexpr char packet_magic[8] = {'P', 'A', 'R', '2', '\0', 'P', 'K', 'T'};
inline constexpr char filedescriptionpacket_type[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0',
                                                        'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'};

// Packet header: magic, length (header included), packet hash, set id, type.
inline constexpr int64_t kHeaderSize = 64;
inline constexpr int64_t kMagicOffset = 0;
inline constexpr int64_t kLengthOffset = 8;
inline constexpr int64_t kTypeOffset = 48;
inline constexpr int64_t kTypeSize = 16;

// File-description body: file id, file hash, hash of the first 16 KiB and the
// file length come before the name, which is padded with zero bytes.
inline constexpr int64_t kFileDescNameOffset = 56;

} // namespace Par2FileDefs
