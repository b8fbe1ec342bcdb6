#include "gfx/draw.h"

#include <algorithm>

#include "gfx/blend_modes.h"
#include "gfx/blend_rows.h"
#include "gfx/pictures.h"

namespace qf {

namespace {

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Source rectangle copied into a temporary, turned, then drawn once with the alpha.
void drawRotated(Pictures& pics, S_Dib& target, const S_Dib& source, int x, int y, int w, int h, int sx, int sy,
                 int alpha, int turnMode) {
    if (w <= 0 || h <= 0 || std::max(alpha, 0) >= 255) return;
    S_Dib turned;
    turned.CreateBlank(w, h, false);
    turned.SetTransColor(source.m_nTransR, source.m_nTransG, source.m_nTransB);
    if (source.TransKey() != kNoTransKey)
        turned.Fill(source.m_nTransR, source.m_nTransG, source.m_nTransB);
    copyRect(turned, source, 0, 0, w, h, sx, sy, pics.scratch);
    turned.Turn(turnMode);
    blendRect(target, turned, x, y, turned.Width(), turned.Height(), 0, 0, alpha, kBlendNormal, pics.scratch);
}

}  // namespace

int DrawPicture(Pictures& pics, int slot, int x, int y, int w, int h, int sx, int sy, int alpha, int mode) {
    if (mode == kBlendMosaic) {
        ++pics.m_nMosaicCounter;
        Mosaic(pics, slot, x, y, w, h, 4, pics.m_nMosaicCounter / 16, sx, sy);
        return 1;
    }
    S_Dib* source = pics.Slot(slot);
    S_Dib* target = pics.Target();
    if (!source || !target || !source->HasPixels() || !target->HasPixels()) return 1;
    if (w < 0 || w > source->Width()) w = source->Width();
    if (h < 0 || h > source->Height()) h = source->Height();
    if (mode >= 0 && mode < 12) {
        blendRect(*target, *source, x, y, w, h, sx, sy, alpha, mode, pics.scratch);
    } else if (mode >= kBlendRotNo && mode <= kBlendRfR) {
        drawRotated(pics, *target, *source, x, y, w, h, sx, sy, alpha, mode - kBlendRotNo);
    } else if (mode == kBlendFlash) {
        flashRect(*target, *source, x, y, w, h, sx, sy, pics.m_nFlashR, pics.m_nFlashG, pics.m_nFlashB);
    }
    return 1;
}

void DrawPlain(Pictures& pics, int slot, int alpha, int x, int y, int w, int h, int sx, int sy) {
    DrawPicture(pics, slot, x, y, w, h, sx, sy, alpha, kBlendNormal);
}

void Mosaic(Pictures& pics, int slot, int x, int y, int w, int h, int size, int offset, int sx, int sy) {
    S_Dib* source = pics.Slot(slot);
    S_Dib* target = pics.Target();
    if (size < 2 || !source || !target || !source->HasPixels() || !target->HasPixels()) return;
    if (source->PixelCount() == 0) return;
    const int64_t s = size, columns = w / s, rows = h / s;
    const int64_t o = offset % (s * s), ox = o % s, oy = (o / s) % s;
    // Only the blocks that touch the target.
    const int64_t bx0 = std::max<int64_t>(0, floorDiv(-int64_t(x), s));
    const int64_t bx1 = std::min<int64_t>(columns, floorDiv(target->Width() - int64_t(x) + s - 1, s));
    const int64_t by0 = std::max<int64_t>(0, floorDiv(-int64_t(y), s));
    const int64_t by1 = std::min<int64_t>(rows, floorDiv(target->Height() - int64_t(y) + s - 1, s));
    if (bx0 >= bx1 || by0 >= by1) return;
    const int64_t across = bx1 - bx0;
    std::vector<uint8_t>& colours = pics.mosaicColours;
    colours.resize(size_t(across * (by1 - by0) * 3));
    const int64_t sw = source->Width(), sh = source->Height();
    uint8_t* c = colours.data();
    for (int64_t by = by0; by < by1; ++by) {
        const int64_t py = std::clamp<int64_t>(sy + s * by + oy, 0, sh - 1);
        for (int64_t bx = bx0; bx < bx1; ++bx, c += 3) {
            const int64_t px = std::clamp<int64_t>(sx + s * bx + ox, 0, sw - 1);
            const uint8_t* p = source->m_pBits + (py * sw + px) * 3;
            c[0] = p[0], c[1] = p[1], c[2] = p[2];
        }
    }
    c = colours.data();
    for (int64_t by = by0; by < by1; ++by)
        for (int64_t bx = bx0; bx < bx1; ++bx, c += 3)
            target->Tint(int(x + s * bx), int(y + s * by), size, size, c[2], c[1], c[0], 0);
}

void SetFlashColor(Pictures& pics, int r, int g, int b) {
    pics.m_nFlashR = r;
    pics.m_nFlashG = g;
    pics.m_nFlashB = b;
}

}  // namespace qf
