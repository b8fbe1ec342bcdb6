// The row blend: a source rectangle combined into a destination picture by
// one of the modes 0..11, with the row, column and source-index clipping and
// the transparent-colour rule.
#pragma once

#include <cstdint>

#include "gfx/blend_scratch.h"
#include "gfx/dib.h"

namespace qf {

// The range of columns [begin, end) of row r that lands inside the target
// and inside the source's pixels; rows [rowBegin, rowEnd) land inside the target.
struct BlendFrame {
    int64_t x, y, w, h, sx, sy;
    int64_t targetWidth, targetHeight, sourceWidth, sourcePixels;

    int64_t rowBegin() const;
    int64_t rowEnd() const;
    int64_t sourceRowStart(int64_t r) const { return (sy + r) * sourceWidth + sx; }
    int64_t columnBegin(int64_t r) const;
    int64_t columnEnd(int64_t r) const;
};

BlendFrame makeFrame(const S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h,
                     int64_t sx, int64_t sy);

// Row blend of (sx, sy, w, h) of source into target at (x, y); w and h as
// given (already defaulted by the caller). Modes outside 0..11 draw nothing.
void blendRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
               int64_t sy, int alpha, int mode, BlendScratch& scratch);

// Exact copy of the source rectangle's non-transparent pixels (the same frame).
void copyRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
              int64_t sy, BlendScratch& scratch);

// The same frame; every drawn pixel becomes (r, g, b). Alpha plays no part.
void flashRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
               int64_t sy, int r, int g, int b);

}  // namespace qf
