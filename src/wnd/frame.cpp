#include "wnd/frame.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "audio/audio.h"
#include "gfx/pictures.h"
#include "gfx/text_output.h"
#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/masked_draw.h"
#include "gfx/text_output.h"

namespace qf {

namespace {

// Beyond this every animation has long finished, so the progress stops
// growing here instead of overflowing.
constexpr int64_t kProgressLimit = int64_t(1) << 28;

int clampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

void box(TextState& text, int64_t x, int64_t y, int64_t w, int64_t h, int64_t keep, int outline) {
    Box(text, clampInt(x), clampInt(y), clampInt(w), clampInt(h), clampInt(keep), outline);
}

// 0 for the first cell of a row or column, 2 for the last, 1 between; a
// single cell counts as the first.
int edgeCode(int64_t index, int64_t count) { return index == 0 ? 0 : index == count - 1 ? 2 : 1; }

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Cells [first, end) of `count` cells of size t from `origin` that reach into 0..extent−1.
void visibleCells(int64_t origin, int64_t t, int64_t count, int64_t extent, int64_t& first, int64_t& end) {
    first = std::max<int64_t>(0, floorDiv(-origin, t));
    end = std::min<int64_t>(count, -floorDiv(-(extent - origin), t));
}

// The 3×3 sheet laid over the rectangle: corners, edges and the middle
// repeated. Only the cells that reach the target are visited.
void drawImageFrame(Pictures& pictures, const S_Frame& f, const FrameImages& img) {
    const int64_t t = img.tile;
    if (t < 1) return;
    const int64_t cols = f.w / t, rows = f.h / t;
    if (cols < 1 || rows < 1) return;
    const S_Dib* target = pictures.Target();
    if (!target || !target->HasPixels()) return;
    int64_t col0, col1, row0, row1;
    visibleCells(f.x, t, cols, target->Width(), col0, col1);
    visibleCells(f.y, t, rows, target->Height(), row0, row1);
    const int size = clampInt(t);
    for (int64_t row = row0; row < row1; ++row) {
        const int rowCode = edgeCode(row, rows);
        for (int64_t col = col0; col < col1; ++col) {
            const int colCode = edgeCode(col, cols);
            const int sx = clampInt(img.srcX + colCode * t), sy = clampInt(img.srcY + rowCode * t);
            const int dx = clampInt(f.x + col * t), dy = clampInt(f.y + row * t);
            if (img.maskSlot >= 0)
                DrawMasked(pictures, img.slot, img.maskSlot, img.transparency, dx, dy, size, size, sx, sy);
            else
                DrawPicture(pictures, img.slot, dx, dy, size, size, sx, sy, img.transparency, kBlendNormal);
        }
    }
}

}  // namespace

void S_Frame::SetRect(int nx, int ny, int nw, int nh) {
    if (nx != kArgAbsent) x = nx;
    if (ny != kArgAbsent) y = ny;
    if (nw != kArgAbsent) w = nw;
    if (nh != kArgAbsent) h = nh;
}

void S_Frame::SetColour(int nr, int ng, int nb, int nkeep) {
    r = nr;
    g = ng;
    b = nb;
    keep = nkeep;
}

void S_Frame::Show() {
    animMode = kFrameStatic;
    shown = 1;
}

void S_Frame::Open(int mode, int speed) {
    if (shown == 0) animProgress = 0;
    animMode = mode;
    animSpeed = speed;
    shown = 1;
}

void S_Frame::Close(int mode, int speed) {
    if (mode == 0) {
        Hide();
        return;
    }
    animMode = clampInt(int64_t(mode) + 6);
    animSpeed = speed;
    animProgress = 0;
}

void S_Frame::Draw(TextState& text, const FrameImages& img) {
    Pictures& pictures = *text.pictures;
    if (shown < 1) return;
    if (img.slot != 0) {
        drawImageFrame(pictures, *this, img);
        return;
    }
    animProgress = int(std::clamp<int64_t>(int64_t(animProgress) + animSpeed, -kProgressLimit, kProgressLimit));
    const int64_t p = animProgress, X = x, Y = y, W = w, H = h, K = keep;
    const int64_t cx = X + W / 2, cy = Y + H / 2;
    PushWindowColor(text, r, g, b);
    switch (animMode) {
        case kFrameStatic: box(text, X, Y, W, H, K, outline); break;
        case kFrameOpenDown: {
            int64_t height = std::max<int64_t>(p, 3);
            height = std::min(height, H);
            animProgress = clampInt(height);
            box(text, X, Y, W, height, K, 1);
            break;
        }
        case kFrameOpenFromCentre:
            box(text, std::max(cx - p, X), std::max(cy - p, Y), std::min(2 * p, W), std::min(2 * p, H), K, 1);
            break;
        case kFrameOpenVertically: box(text, X, std::max(cy - p, Y), W, std::min(2 * p, H), K, 1); break;
        case kFrameFadeIn: box(text, X, Y, W, H, std::max(255 - p, K), 1); break;
        case kFrameCloseUp:
            if (H - p < 4) shown = 0;
            else box(text, X, Y, W, H - p, K, 1);
            break;
        case kFrameCloseToCentre: {
            const int64_t width = std::max<int64_t>(W - 2 * p, 0), height = std::max<int64_t>(H - 2 * p, 0);
            if (width != 0 && height != 0) box(text, std::min(X + p, cx), std::min(Y + p, cy), width, height, K, 1);
            else shown = 0;
            break;
        }
        case kFrameCloseVertically: {
            const int64_t height = std::max<int64_t>(H - 2 * p, 0);
            if (height == 0) shown = 0;
            else box(text, X, std::min(Y + p, cy), W, height, K, 1);
            break;
        }
        case kFrameFadeOut:
            if (p + K < 255) box(text, X, Y, W, H, p + K, 0);
            else shown = 0;
            break;
        default: break;
    }
    PopWindowColor(text);
}

void SetWindowSound(WindowLooks& looks, int kind, int device, int id) {
    if (kind < 0 || kind >= kWindowSoundKinds) return;
    looks.sounds[kind] = {device, id};
}

void PlayWindowSound(const WindowLooks& looks, Audio& audio, int kind) {
    if (kind < 0 || kind >= kWindowSoundKinds) return;
    const WindowSound& s = looks.sounds[kind];
    if (s.device == kSoundEffectSlot) audio.PlayEffectSlot(s.id);
    else if (s.device == kSoundMciDevice) audio.PlayMciFromStart(s.id);
}

}  // namespace qf
