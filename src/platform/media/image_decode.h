// Pictures in PNG, JPEG, GIF, TGA and BMP decoded from memory into the form a
// device-independent bitmap holds: 24-bit blue-green-red rows stored bottom-up,
// each padded to a multiple of 4 bytes. Sizes are checked against the limits
// before any pixel memory is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qf {

inline constexpr int kMaxImageSide = 32767;
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 24;

struct DecodedImage {
    int width = 0, height = 0;
    int stride = 0;             // bytes from one stored row to the next
    std::vector<uint8_t> rows;  // height rows, the bottom row first
};

enum class ImageFormat { Unknown, Png, Jpeg, Gif, Tga, Bmp };

// The format the data's first bytes announce (TGA, having no signature, by a
// plausible header); Unknown otherwise.
ImageFormat sniffImageFormat(const uint8_t* data, size_t size);

// Decodes the first picture of the data. False with a UTF-8 reason in `error`
// when the data is no picture this decoder reads, is broken or too large;
// `out` is then empty.
bool decodeImage(const uint8_t* data, size_t size, DecodedImage& out, std::string& error);

}  // namespace qf
