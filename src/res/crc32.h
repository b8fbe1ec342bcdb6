// The engine's CRC-32: zlib's (reflected 0xEDB88320, initial all ones, final
// XOR all ones) with one rule of its own: no data, an empty block or a block
// whose first byte is 0 has CRC 0. Archives and save records depend on it.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace qf {

inline uint32_t engineCrc32(const void* data, long long length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes || length <= 0 || bytes[0] == 0) return 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    while (length > 0) {
        uInt chunk = length > (1 << 30) ? (1u << 30) : static_cast<uInt>(length);
        crc = crc32(crc, bytes, chunk);
        bytes += chunk;
        length -= chunk;
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace qf
