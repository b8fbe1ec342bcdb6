#include "gfx/bmp_decode.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qf {

namespace {

uint16_t rd16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t rd32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr int64_t kMaxDensity = 1000000;  // pixels per metre (25 400 dpi)

bool isKnownHeaderSize(uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124 ||
           (size >= 16 && size <= 64);
}

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 1;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        max = (uint64_t(1) << std::popcount(m)) - 1;
    }
    uint8_t operator()(uint32_t pixel) const {
        uint64_t v = (pixel & mask) >> shift;
        return uint8_t(max == 255 ? v : (v * 255 + max / 2) / max);
    }
};

bool masksValid(const uint32_t masks[3], int bitsPerPixel) {
    uint32_t seen = 0;
    for (int i = 0; i < 3; ++i) {
        uint32_t m = masks[i];
        if (m == 0) return false;
        if (bitsPerPixel == 16 && (m >> 16) != 0) return false;
        uint32_t low = m >> std::countr_zero(m);
        if ((low & (low + 1)) != 0) return false;  // not one contiguous run of bits
        if (seen & m) return false;
        seen |= m;
    }
    return true;
}

struct Picture {
    int width, height;
    bool topDown;
    uint8_t* bgr;
    const uint8_t* palette;  // blue, green, red, 0 entries
    uint32_t paletteCount;

    // Pixel of file row fileRow (0 = the first row stored).
    uint8_t* at(int64_t fileRow, int64_t x) const {
        int64_t y = topDown ? fileRow : height - 1 - fileRow;
        return bgr + (y * width + x) * 3;
    }
    bool putIndex(int64_t fileRow, int64_t x, uint32_t index) const {
        if (index >= paletteCount) return false;
        const uint8_t* c = palette + index * 4;
        uint8_t* p = at(fileRow, x);
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
        return true;
    }
};

BmpError decodeRle(const uint8_t* data, size_t begin, size_t end, bool fourBit, const Picture& pic) {
    int64_t x = 0, row = 0;
    size_t p = begin;
    while (p + 2 <= end) {
        unsigned n = data[p], c = data[p + 1];
        p += 2;
        if (n > 0) {
            if (row >= pic.height || x + n > pic.width) return BmpError::BadPixelData;
            for (unsigned i = 0; i < n; ++i) {
                unsigned index = fourBit ? (i % 2 == 0 ? c >> 4 : c & 15) : c;
                if (!pic.putIndex(row, x + i, index)) return BmpError::BadPixelData;
            }
            x += n;
            continue;
        }
        if (c == 0) {  // end of line
            x = 0;
            ++row;
        } else if (c == 1) {  // end of picture
            return BmpError::None;
        } else if (c == 2) {  // move right and up
            if (p + 2 > end) break;
            x += data[p];
            row += data[p + 1];
            p += 2;
            if (x > pic.width || row > pic.height) return BmpError::BadPixelData;
        } else {  // literal run of c indexes, padded to 16 bits
            size_t bytes = fourBit ? (c + 1) / 2 : c;
            size_t padded = (bytes + 1) & ~size_t(1);
            if (row >= pic.height || x + c > pic.width) return BmpError::BadPixelData;
            if (p + bytes > end) break;  // cut short: keep what was decoded
            for (unsigned i = 0; i < c; ++i) {
                unsigned index = fourBit ? (i % 2 == 0 ? data[p + i / 2] >> 4 : data[p + i / 2] & 15) : data[p + i];
                if (!pic.putIndex(row, x + i, index)) return BmpError::BadPixelData;
            }
            x += c;
            p += std::min(padded, end - p);
        }
    }
    // A stream that ends without its end-of-picture code keeps the pixels decoded so far.
    return BmpError::None;
}

}  // namespace

BmpError decodeBmp(const uint8_t* data, size_t size, DecodedBmp& out) {
    out = DecodedBmp{};
    if (size < 2 || data[0] != 'B' || data[1] != 'M') return BmpError::NotBmp;
    if (size < 18) return BmpError::Truncated;
    uint32_t fileSize = rd32(data + 2);
    uint32_t pixelOffset = rd32(data + 10);
    uint32_t headerSize = rd32(data + 14);
    if (!isKnownHeaderSize(headerSize)) return BmpError::BadHeader;
    if (14 + uint64_t(headerSize) > size) return BmpError::Truncated;

    const uint8_t* h = data + 14;
    const bool os2v1 = headerSize == 12;
    const bool os2v2 = !os2v1 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
                       headerSize != 108 && headerSize != 124;
    int64_t width, height;
    unsigned planes, bitsPerPixel;
    uint32_t compression = kRgb, imageSize = 0, colorsUsed = 0;
    int64_t densityX = 0, densityY = 0;
    if (os2v1) {
        width = rd16(h + 4);
        height = rd16(h + 6);
        planes = rd16(h + 8);
        bitsPerPixel = rd16(h + 10);
    } else {
        width = int32_t(rd32(h + 4));
        height = int32_t(rd32(h + 8));
        planes = rd16(h + 12);
        bitsPerPixel = rd16(h + 14);
        if (headerSize >= 20) compression = rd32(h + 16);
        if (headerSize >= 24) imageSize = rd32(h + 20);
        if (headerSize >= 28) densityX = int32_t(rd32(h + 24));
        if (headerSize >= 32) densityY = int32_t(rd32(h + 28));
        if (headerSize >= 36) colorsUsed = rd32(h + 32);
    }
    if (os2v2 && compression > kRle4) return BmpError::Unsupported;  // OS/2 Huffman and RLE24
    if (planes != 1 || width <= 0 || height == 0) return BmpError::BadHeader;
    if (densityX > kMaxDensity || densityX < -kMaxDensity || densityY > kMaxDensity || densityY < -kMaxDensity)
        return BmpError::BadHeader;
    const bool topDown = height < 0;
    if (topDown) height = -height;

    switch (bitsPerPixel) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return BmpError::Unsupported;
    }
    const bool rle = compression == kRle8 || compression == kRle4;
    const bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kRgb && !rle && !bitFields) return BmpError::Unsupported;
    if ((compression == kRle8 && bitsPerPixel != 8) || (compression == kRle4 && bitsPerPixel != 4) ||
        (bitFields && bitsPerPixel != 16 && bitsPerPixel != 32))
        return BmpError::BadHeader;
    if (rle && topDown) return BmpError::BadHeader;
    if (width > kMaxBmpSide || height > kMaxBmpSide || width * height > kMaxBmpPixels) return BmpError::TooLarge;

    if (fileSize > size) return BmpError::Truncated;

    uint64_t pos = 14 + uint64_t(headerSize);
    uint32_t masks[3] = {0, 0, 0};
    if (bitFields) {
        unsigned maskCount = compression == kBitFields ? 3 : 4;
        const uint8_t* m;
        if (headerSize >= 40 + 4 * maskCount) {
            m = h + 40;
        } else {
            if (pos + 4 * maskCount > size) return BmpError::Truncated;
            m = data + pos;
            pos += 4 * maskCount;
        }
        for (int i = 0; i < 3; ++i) masks[i] = rd32(m + 4 * i);
    } else if (bitsPerPixel == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bitsPerPixel == 32) {
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
    if ((bitsPerPixel == 16 || bitsPerPixel == 32) && !masksValid(masks, bitsPerPixel)) return BmpError::BadBitFields;

    const unsigned entrySize = os2v1 ? 3 : 4;
    uint64_t declared = os2v1 ? (1u << std::min(bitsPerPixel, 8u))
                              : (colorsUsed ? colorsUsed : (bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0));
    if (os2v1 && pixelOffset > pos && pixelOffset <= size) declared = std::min<uint64_t>(declared, (pixelOffset - pos) / 3);
    if (pos + declared * entrySize > size) return BmpError::BadPalette;
    uint32_t paletteCount = 0;
    if (bitsPerPixel <= 8) {
        paletteCount = uint32_t(std::min<uint64_t>(declared, 1u << bitsPerPixel));
        if (paletteCount == 0) return BmpError::BadPalette;
        out.palette.resize(size_t(paletteCount) * 4);
        for (uint32_t i = 0; i < paletteCount; ++i) {
            const uint8_t* e = data + pos + i * entrySize;
            out.palette[i * 4] = e[0];
            out.palette[i * 4 + 1] = e[1];
            out.palette[i * 4 + 2] = e[2];
        }
    }
    pos += declared * entrySize;

    const uint64_t dataStart = (pixelOffset >= 14 + uint64_t(headerSize) && pixelOffset < size) ? pixelOffset : pos;
    if (dataStart > size) return BmpError::Truncated;
    if (imageSize != 0 && imageSize > size - dataStart) return BmpError::BadHeader;

    const uint64_t rowBytes = (uint64_t(width) * bitsPerPixel + 7) / 8;
    const uint64_t stride = (uint64_t(width) * bitsPerPixel + 31) / 32 * 4;
    if (!rle && dataStart + stride * uint64_t(height - 1) + rowBytes > size) return BmpError::Truncated;

    out.width = int(width);
    out.height = int(height);
    out.bgr.assign(size_t(width * height * 3), 0);
    Picture pic{out.width, out.height, topDown, out.bgr.data(), out.palette.data(), paletteCount};

    BmpError result = BmpError::None;
    if (rle) {
        result = decodeRle(data, size_t(dataStart), size, compression == kRle4, pic);
    } else {
        const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
        for (int64_t row = 0; row < height && result == BmpError::None; ++row) {
            const uint8_t* s = data + dataStart + row * stride;
            uint8_t* d = pic.at(row, 0);
            switch (bitsPerPixel) {
            case 1: case 2: case 4: case 8: {
                const unsigned perByte = 8 / bitsPerPixel, mask = (1u << bitsPerPixel) - 1;
                for (int64_t x = 0; x < width; ++x) {
                    unsigned shift = 8 - bitsPerPixel * (unsigned(x % perByte) + 1);
                    if (!pic.putIndex(row, x, (s[x / perByte] >> shift) & mask)) {
                        result = BmpError::BadPixelData;
                        break;
                    }
                }
                break;
            }
            case 24:
                std::memcpy(d, s, size_t(width) * 3);
                break;
            case 16:
            case 32:
                for (int64_t x = 0; x < width; ++x, d += 3) {
                    uint32_t v = bitsPerPixel == 16 ? rd16(s + 2 * x) : rd32(s + 4 * x);
                    d[0] = blue(v);
                    d[1] = green(v);
                    d[2] = red(v);
                }
                break;
            }
        }
    }
    if (result != BmpError::None) out = DecodedBmp{};
    return result;
}

const char* bmpErrorText(BmpError error) {
    switch (error) {
    case BmpError::None: return "";
    case BmpError::NotBmp: return "はBMPファイルではありません";
    case BmpError::Truncated: return "は途中で切れています";
    case BmpError::BadHeader: return "のヘッダが壊れています";
    case BmpError::Unsupported: return "は読み込めない形式です（ビット数または圧縮形式）";
    case BmpError::TooLarge: return "は画像が大きすぎます";
    case BmpError::BadPalette: return "のパレットが壊れています";
    case BmpError::BadPixelData: return "の画像データが壊れています";
    case BmpError::BadBitFields: return "のビットフィールドが壊れています";
    }
    return "";
}

}  // namespace qf
