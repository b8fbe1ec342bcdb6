// One picture buffer: a 24-bit blue-green-red picture, rows top to bottom
// without padding, with the BMP headers it was made from, its transparent
// colour and the per-picture drawing settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/resource_reader.h"

namespace qf {

class Host;

struct BmpFileHeader {
    uint16_t bfType = 0x4D42;  // "BM"
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0, bfReserved2 = 0;
    uint32_t bfOffBits = 54;
};

struct BmpInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0, biHeight = 0;
    uint16_t biPlanes = 1, biBitCount = 24;
    uint32_t biCompression = 0, biSizeImage = 0;
    int32_t biXPelsPerMeter = 0, biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0, biClrImportant = 0;
};

// The header followed by one colour entry, the form the display hands on.
struct BmpInfo {
    BmpInfoHeader bmiHeader;
    uint32_t bmiColors[1] = {0};
};

// Rectangle of a masked copy into this picture; −1 sizes mean the source's.
struct CopyRect {
    int x = 0, y = 0, w = -1, h = -1, sx = 0, sy = 0;
};

enum DibType { kDibEmpty = 0, kDibOwned = 1, kDibWrapped = 2 };

inline constexpr int kHeaderAreaSize = 54;
inline constexpr uint32_t kNoTransKey = 0xFFFFFFFFu;

class S_Dib {
public:
    S_Dib() = default;
    S_Dib(const S_Dib&) = delete;
    S_Dib& operator=(const S_Dib&) = delete;

    // Header area followed by the pixel area at the padded size.
    std::vector<uint8_t> m_pBuf;
    uint8_t* m_pBits = nullptr;
    BmpFileHeader m_bfh;
    BmpInfoHeader m_bmi;
    BmpInfo m_bi;
    int m_nPadding = 0;
    int m_nDibType = kDibEmpty;
    // Colour table (blue, green, red, 0 per entry) of a picture loaded from a
    // palette file; empty otherwise.
    std::vector<uint8_t> m_pPalBuf;
    int32_t m_nTransR = 0, m_nTransG = 255, m_nTransB = 0;
    CopyRect m_rcCopy;
    int32_t m_nReplR = 0, m_nReplG = 0, m_nReplB = 0;
    const S_Dib* m_pMask = nullptr;

    int Width() const { return m_bmi.biWidth; }
    int Height() const { return m_bmi.biHeight; }
    bool HasPixels() const { return m_nDibType >= kDibOwned && m_pBits != nullptr; }
    size_t PixelCount() const { return HasPixels() ? size_t(Width()) * size_t(Height()) : 0; }
    // Transparent colour as the bytes B | G << 8 | R << 16 of a pixel;
    // kNoTransKey when a component is outside 0..255 and so matches no pixel.
    uint32_t TransKey() const;

    // Loads a BMP through the reader; the byte count read, or 0 when the
    // resource is missing or not a picture this loader reads (reported).
    size_t LoadFile(Host& host, const ResourceReader& read, const std::string& name, int takeTrans);
    size_t LoadFromMemory(Host& host, const uint8_t* bytes, size_t size, const std::string& name,
                          int takeTrans);
    // The block size 54 + pixel area.
    size_t CreateBlank(int width, int height, bool fillGreen);
    void Attach(const BmpInfoHeader& header, uint8_t* pixels);
    // 24-bit rows bottom-up at the padded stride.
    void FromPacked(const BmpInfoHeader& header, const uint8_t* rows, int takeTrans);
    void Free();

    void Clear(int value);
    void Fill(int r, int g, int b);
    void SetTransColor(int r, int g, int b);
    void TransFromCorner();
    void Turn(int mode);
    void Tint(int x, int y, int w, int h, int r, int g, int b, int keep);
    void ReplaceColor(int x, int y, int w, int h, int r, int g, int b);

private:
    void WriteHeaders();
};

// (4 − (width × 3) mod 4) mod 4.
inline int rowPadding(int width) { return (4 - (width * 3) % 4) % 4; }

}  // namespace qf
