#include "gfx/masked_draw.h"

#include <algorithm>

#include "gfx/blend_rows.h"
#include "gfx/pictures.h"

namespace qf {

namespace {

uint32_t pixelKey(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }

void mix(uint8_t* d, const uint8_t* s, unsigned keepD, unsigned takeS) {
    for (int k = 0; k < 3; ++k) d[k] = uint8_t((d[k] * keepD + s[k] * takeS) >> 8);
}

}  // namespace

void DrawMasked(Pictures& pics, int slot, int maskSlot, int alpha, int x, int y, int w, int h, int sx, int sy) {
    S_Dib* source = pics.Slot(slot);
    S_Dib* target = pics.Target();
    if (!source || !target || !source->HasPixels() || !target->HasPixels()) return;
    source->m_pMask = pics.Slot(maskSlot);
    const int a = std::max(alpha, 0);
    if (a >= 255) return;
    if (w < 0 || w > source->Width()) w = source->Width();
    if (h < 0 || h > source->Height()) h = source->Height();
    const S_Dib* mask = source->m_pMask;
    const bool masked = mask && mask->HasPixels();
    const int64_t maskPixels = masked ? int64_t(mask->PixelCount()) : 0;
    const uint32_t key = source->TransKey();
    const BlendFrame f = makeFrame(*target, *source, x, y, w, h, sx, sy);
    for (int64_t r = f.rowBegin(), end = f.rowEnd(); r < end; ++r) {
        const int64_t c0 = f.columnBegin(r), c1 = f.columnEnd(r);
        for (int64_t c = c0; c < c1; ++c) {
            const int64_t i = f.sourceRowStart(r) + c;
            const uint8_t* s = source->m_pBits + i * 3;
            if (pixelKey(s) == key) continue;
            unsigned m = unsigned(a);
            if (masked) {
                if (i >= maskPixels) break;
                m = mask->m_pBits[i * 3 + 2];
            }
            mix(target->m_pBits + ((f.y + r) * f.targetWidth + f.x + c) * 3, s, m, 255 - m);
        }
    }
}

void MaskedCopy(Pictures& pics, int slot, int maskSlot) {
    S_Dib* source = pics.Slot(slot);
    S_Dib* target = pics.Target();
    const S_Dib* mask = pics.Slot(maskSlot);
    if (!source || !target || !source->HasPixels() || !target->HasPixels()) return;
    if (!mask || !mask->HasPixels()) {
        const size_t n = std::min(source->PixelCount(), target->PixelCount());
        const uint32_t key = target->TransKey();
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* s = source->m_pBits + i * 3;
            if (pixelKey(s) != key) std::copy(s, s + 3, target->m_pBits + i * 3);
        }
        return;
    }
    CopyRect& rc = target->m_rcCopy;
    const int sw = source->Width(), sh = source->Height();
    if (rc.w < 0 || rc.w > sw) rc.w = sw;
    if (rc.h < 0 || rc.h > sh) rc.h = sh;
    const int64_t tw = target->Width(), th = target->Height();
    const int64_t mw = mask->Width(), mh = mask->Height();
    const int64_t sourcePixels = int64_t(source->PixelCount()), maskPixels = int64_t(mask->PixelCount());
    const int64_t rowEnd = std::min<int64_t>(rc.h, std::min(th, mh) - int64_t(rc.y));
    for (int64_t r = std::max<int64_t>(0, -int64_t(rc.y)); r < rowEnd; ++r) {
        const int64_t rowStart = (int64_t(rc.sy) + r) * sw + rc.sx;
        const int64_t c0 = std::max({int64_t(0), -int64_t(rc.x), -rowStart});
        const int64_t c1 = std::min({int64_t(rc.w), std::min(tw, mw) - int64_t(rc.x),
                                     std::min(sourcePixels, maskPixels) - rowStart});
        for (int64_t c = c0; c < c1; ++c) {
            const int64_t i = rowStart + c;
            const unsigned m = mask->m_pBits[i * 3 + 2];
            if (m != 0)
                mix(target->m_pBits + ((rc.y + r) * tw + rc.x + c) * 3, source->m_pBits + i * 3, 255 - m, m);
        }
    }
}

void DrawTransit(Pictures& pics, int slot, int ruleSlot, int level, int x, int y) {
    S_Dib* source = pics.Slot(slot);
    S_Dib* target = pics.Target();
    const S_Dib* rule = pics.Slot(ruleSlot);
    if (!source || !target || !rule || !source->HasPixels() || !target->HasPixels() || !rule->HasPixels()) return;
    const int64_t w = source->Width(), h = source->Height(), sx = 0, sy = 0;
    const unsigned a = 0;
    const int64_t rw = rule->Width(), rh = rule->Height();
    const uint32_t key = source->TransKey();
    // Rows are counted up from the bottom of the source: row sh − sy − h + r.
    BlendFrame f = makeFrame(*target, *source, x, y, w, h, sx, source->Height() - sy - h);
    for (int64_t r = f.rowBegin(), end = std::min(f.rowEnd(), rh); r < end; ++r) {
        const int64_t c0 = f.columnBegin(r), c1 = std::min(f.columnEnd(r), rw);
        for (int64_t c = c0; c < c1; ++c) {
            if (int64_t(rule->m_pBits[(r * rw + c) * 3 + 1]) + level >= 255) continue;
            const uint8_t* s = source->m_pBits + (f.sourceRowStart(r) + c) * 3;
            if (pixelKey(s) == key) continue;
            mix(target->m_pBits + ((f.y + r) * f.targetWidth + f.x + c) * 3, s, a, 255 - a);
        }
    }
}

}  // namespace qf
