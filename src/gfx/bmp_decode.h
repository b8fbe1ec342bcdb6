// BMP decoding from memory into a 24-bit top-down blue-green-red picture.
// Reads Windows (40, 52, 56, 108, 124-byte) and OS/2 (12, 16..64-byte) headers,
// 1/2/4/8-bit palettes, RLE4/RLE8, 16/24/32-bit pixels with or without bit
// fields, bottom-up and top-down rows. Every read is bounds-checked; pictures
// above the size limits are refused before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qf {

enum class BmpError {
    None,
    NotBmp,          // no "BM" signature
    Truncated,       // the file ends before the data its headers describe
    BadHeader,       // impossible header values (size, planes, dimensions, densities)
    Unsupported,     // bit depth or compression this loader does not read
    TooLarge,        // dimensions above the engine's picture limits
    BadPalette,      // colour table missing or larger than the file
    BadPixelData,    // broken RLE stream or a colour index outside the palette
    BadBitFields,    // empty, overlapping or non-contiguous colour masks
};

struct DecodedBmp {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;      // width × height × 3, rows top to bottom
    std::vector<uint8_t> palette;  // colour table as blue, green, red, 0 entries
};

inline constexpr int kMaxBmpSide = 32767;
inline constexpr int64_t kMaxBmpPixels = int64_t(1) << 24;  // 48 MiB of pixels

BmpError decodeBmp(const uint8_t* data, size_t size, DecodedBmp& out);

// The reason as a UTF-8 message fragment.
const char* bmpErrorText(BmpError error);

}  // namespace qf
