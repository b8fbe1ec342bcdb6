// Small pictures and BMP files for the graphics tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/dib.h"

namespace qf::test {

struct Bgr {
    uint8_t b = 0, g = 0, r = 0;
    bool operator==(const Bgr&) const = default;
};

inline Bgr at(const S_Dib& dib, int x, int y) {
    const uint8_t* p = dib.m_pBits + (size_t(y) * dib.Width() + x) * 3;
    return {p[0], p[1], p[2]};
}

inline void put(S_Dib& dib, int x, int y, Bgr c) {
    uint8_t* p = dib.m_pBits + (size_t(y) * dib.Width() + x) * 3;
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

inline void paint(S_Dib& dib, int w, int h, const std::function<Bgr(int, int)>& colour) {
    dib.CreateBlank(w, h, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) put(dib, x, y, colour(x, y));
}

inline std::vector<uint8_t> pixels(const S_Dib& dib) {
    return std::vector<uint8_t>(dib.m_pBits, dib.m_pBits + dib.PixelCount() * 3);
}

inline void le16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8)); }
inline void le32(std::vector<uint8_t>& v, uint32_t x) { le16(v, x & 0xFFFF), le16(v, x >> 16); }

// A BMP with a 40-byte header; `palette` holds B, G, R, 0 entries and
// `rows` the stored rows (bottom first) including their padding.
inline std::vector<uint8_t> makeBmp(int width, int height, int bits, uint32_t colorsUsed,
                                    const std::vector<uint8_t>& palette, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> f;
    uint32_t offset = 54 + uint32_t(palette.size());
    f.push_back('B'), f.push_back('M');
    le32(f, offset + uint32_t(rows.size()));
    le32(f, 0);
    le32(f, offset);
    le32(f, 40), le32(f, uint32_t(width)), le32(f, uint32_t(height));
    le16(f, 1), le16(f, uint32_t(bits));
    le32(f, 0), le32(f, uint32_t(rows.size())), le32(f, 2835), le32(f, 2835), le32(f, colorsUsed), le32(f, 0);
    f.insert(f.end(), palette.begin(), palette.end());
    f.insert(f.end(), rows.begin(), rows.end());
    return f;
}

}  // namespace qf::test
