#include "gfx/dib.h"

#include <algorithm>
#include <cstring>

#include "platform/report.h"
#include "gfx/bmp_decode.h"
#include "platform/sjis.h"

namespace qf {

namespace {

void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void put32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); }

const char* kLoadCaption = "エラー：S_Dib::LoadFile()";

}  // namespace

uint32_t S_Dib::TransKey() const {
    auto inRange = [](int32_t c) { return c >= 0 && c <= 255; };
    if (!inRange(m_nTransR) || !inRange(m_nTransG) || !inRange(m_nTransB)) return kNoTransKey;
    return uint32_t(m_nTransB) | uint32_t(m_nTransG) << 8 | uint32_t(m_nTransR) << 16;
}

void S_Dib::Free() {
    m_pBuf.clear();
    m_pBuf.shrink_to_fit();
    m_pBits = nullptr;
    m_nDibType = kDibEmpty;
}

void S_Dib::WriteHeaders() {
    uint8_t* p = m_pBuf.data();
    put16(p, m_bfh.bfType);
    put32(p + 2, m_bfh.bfSize);
    put16(p + 6, 0);
    put16(p + 8, 0);
    put32(p + 10, m_bfh.bfOffBits);
    uint8_t* i = p + 14;
    std::memset(i, 0, 40);
    put32(i, m_bmi.biSize);
    put32(i + 4, uint32_t(m_bmi.biWidth));
    put32(i + 8, uint32_t(m_bmi.biHeight));
    put16(i + 12, m_bmi.biPlanes);
    put16(i + 14, m_bmi.biBitCount);
    put32(i + 20, m_bmi.biSizeImage);
}

size_t S_Dib::CreateBlank(int width, int height, bool fillGreen) {
    Free();
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    m_nPadding = rowPadding(width);
    size_t area = (size_t(width) * 3 + size_t(m_nPadding)) * size_t(height);
    m_pBuf.assign(kHeaderAreaSize + area, 0);
    m_pBits = m_pBuf.data() + kHeaderAreaSize;
    m_nDibType = kDibOwned;
    m_bfh = BmpFileHeader{};
    m_bfh.bfSize = uint32_t(kHeaderAreaSize + area);
    m_bmi = BmpInfoHeader{};
    m_bmi.biWidth = width;
    m_bmi.biHeight = height;
    m_bmi.biSizeImage = uint32_t(area);
    m_bi.bmiHeader = m_bmi;
    m_bi.bmiColors[0] = 0;
    WriteHeaders();
    if (fillGreen) Fill(0, 255, 0);
    return kHeaderAreaSize + area;
}

void S_Dib::Attach(const BmpInfoHeader& header, uint8_t* pixels) {
    Free();
    m_bmi = header;
    if (m_bmi.biHeight < 0) m_bmi.biHeight = -m_bmi.biHeight;
    m_bi.bmiHeader = m_bmi;
    m_nPadding = rowPadding(m_bmi.biWidth);
    m_pBits = pixels;
    m_nDibType = pixels ? kDibWrapped : kDibEmpty;
}

void S_Dib::FromPacked(const BmpInfoHeader& header, const uint8_t* rows, int takeTrans) {
    int width = std::max(header.biWidth, 0), height = std::max(header.biHeight, 0);
    CreateBlank(width, height, false);
    size_t rowBytes = size_t(width) * 3, stride = rowBytes + size_t(m_nPadding);
    for (int r = 0; r < height; ++r)
        std::memcpy(m_pBits + size_t(height - 1 - r) * rowBytes, rows + size_t(r) * stride, rowBytes);
    if (takeTrans) TransFromCorner();
}

size_t S_Dib::LoadFile(Host& host, const ResourceReader& read, const std::string& name, int takeTrans) {
    Free();
    std::vector<uint8_t> bytes;
    if (!read || !read(name, bytes) || bytes.empty()) {
        dialog(host, sj(kLoadCaption) + "\n" + name + sj("が見つかりません"), sj(kLoadCaption));
        return 0;
    }
    return LoadFromMemory(host, bytes.data(), bytes.size(), name, takeTrans);
}

size_t S_Dib::LoadFromMemory(Host& host, const uint8_t* bytes, size_t size, const std::string& name,
                             int takeTrans) {
    Free();
    DecodedBmp picture;
    BmpError error = decodeBmp(bytes, size, picture);
    if (error != BmpError::None) {
        dialog(host, sj(kLoadCaption) + "\n" + name + sj(bmpErrorText(error)), sj(kLoadCaption));
        return 0;
    }
    CreateBlank(picture.width, picture.height, false);
    std::memcpy(m_pBits, picture.bgr.data(), picture.bgr.size());
    m_pPalBuf = std::move(picture.palette);
    if (takeTrans) TransFromCorner();
    return size;
}

void S_Dib::Clear(int value) {
    if (!HasPixels()) return;
    if (value != -1) {
        std::memset(m_pBits, value & 0xFF, PixelCount() * 3);
        return;
    }
    Fill(m_nTransR, m_nTransG, m_nTransB);
}

void S_Dib::Fill(int r, int g, int b) {
    if (!HasPixels()) return;
    size_t n = PixelCount();
    uint8_t* p = m_pBits;
    if (n == 0) return;
    p[0] = uint8_t(b), p[1] = uint8_t(g), p[2] = uint8_t(r);
    // Doubling copies of the first pixel.
    size_t done = 1;
    while (done < n) {
        size_t step = std::min(done, n - done);
        std::memcpy(p + done * 3, p, step * 3);
        done += step;
    }
}

void S_Dib::SetTransColor(int r, int g, int b) {
    m_nTransR = r;
    m_nTransG = g;
    m_nTransB = b;
}

void S_Dib::TransFromCorner() {
    if (!HasPixels() || PixelCount() == 0) return;
    SetTransColor(m_pBits[2], m_pBits[1], m_pBits[0]);
}

void S_Dib::Turn(int mode) {
    if (mode < 0 || mode > 7 || !HasPixels()) return;
    const int w = Width(), h = Height();
    const bool swap = mode >= 4;
    const int nw = swap ? h : w;
    const int nh = swap ? w : h;
    if (m_nDibType == kDibWrapped && (nw != w || nh != h)) return;  // the screen keeps its size
    std::vector<uint8_t> old(m_pBits, m_pBits + PixelCount() * 3);
    // Only the pixels change: colours, mask and copy rectangle stay.
    if (m_nDibType != kDibWrapped) CreateBlank(nw, nh, false);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int dx = x, dy = y;
            switch (mode) {
            case 1: dx = w - 1 - x; break;
            case 2: dy = h - 1 - y; break;
            case 3: dx = w - 1 - x, dy = h - 1 - y; break;
            case 4: dx = y, dy = w - 1 - x; break;
            case 5: dx = h - 1 - y, dy = x; break;
            case 6: dx = y, dy = x; break;
            case 7: dx = h - 1 - y, dy = w - 1 - x; break;
            default: break;
            }
            std::memcpy(m_pBits + (size_t(dy) * nw + dx) * 3, old.data() + (size_t(y) * w + x) * 3, 3);
        }
    }
}

void S_Dib::Tint(int x, int y, int w, int h, int r, int g, int b, int keep) {
    if (!HasPixels() || w <= 0 || h <= 0) return;
    keep = std::clamp(keep, 0, 255);
    const int64_t width = Width(), height = Height();
    const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t(y) + h, height);
    const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t(x) + w, width);
    const int mix[3] = {(255 - keep) * b, (255 - keep) * g, (255 - keep) * r};
    for (int64_t row = y0; row < y1; ++row) {
        uint8_t* p = m_pBits + (row * width + x0) * 3;
        for (int64_t col = x0; col < x1; ++col, p += 3) {
            p[0] = uint8_t((p[0] * keep + mix[0]) / 255);
            p[1] = uint8_t((p[1] * keep + mix[1]) / 255);
            p[2] = uint8_t((p[2] * keep + mix[2]) / 255);
        }
    }
}

void S_Dib::ReplaceColor(int x, int y, int w, int h, int r, int g, int b) {
    if (HasPixels() && w > 0 && h > 0) {
        const int64_t width = Width(), height = Height();
        const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t(y) + h, height);
        const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t(x) + w, width);
        const int32_t from[3] = {m_nReplB, m_nReplG, m_nReplR};
        for (int64_t row = y0; row < y1; ++row) {
            uint8_t* p = m_pBits + (row * width + x0) * 3;
            for (int64_t col = x0; col < x1; ++col, p += 3) {
                if (p[0] == from[0] && p[1] == from[1] && p[2] == from[2]) {
                    p[0] = uint8_t(b), p[1] = uint8_t(g), p[2] = uint8_t(r);
                }
            }
        }
    }
    m_nReplR = r;
    m_nReplG = g;
    m_nReplB = b;
}

}  // namespace qf
