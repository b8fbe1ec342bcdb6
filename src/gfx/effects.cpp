#include "gfx/effects.h"

#include <cstdint>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"

namespace qf {

namespace {

void fillWorkScreen(Pictures& pics, int r, int g, int b) {
    pics.SelectTarget(Pictures::kWorkScreenSlot);
    pics.FillTarget(r, g, b);
    pics.SelectTarget(Pictures::kBackBufferSlot);
}

// Every cell counts down; the cells still above 0 show the work screen. A
// row's drawn cells that touch are drawn as one rectangle.
bool drawDissolve(ScreenEffects& fx, Pictures& pics) {
    constexpr int s = ScreenEffects::kCell;
    bool drewAny = false;
    for (int r = 0; r < fx.dissolveRows; ++r) {
        int* row = fx.dissolveCounters.data() + size_t(r) * size_t(fx.dissolveColumns);
        int runStart = -1;
        for (int c = 0; c <= fx.dissolveColumns; ++c) {
            const bool drawn = c < fx.dissolveColumns && --row[c] > 0;
            if (drawn && runStart < 0) runStart = c;
            if (!drawn && runStart >= 0) {
                DrawPicture(pics, Pictures::kWorkScreenSlot, s * runStart, s * r, s * (c - runStart), s, s * runStart,
                            s * r, pics.m_nPicCopyAlpha, kBlendNormal);
                drewAny = true;
                runStart = -1;
            }
        }
    }
    return drewAny;
}

void drawWorkScreen(Pictures& pics, int alpha) {
    DrawPicture(pics, Pictures::kWorkScreenSlot, 0, 0, -1, -1, 0, 0, alpha, kBlendNormal);
}

}  // namespace

void StartFade(ScreenEffects& fx, Pictures& pics, FadeKind kind, int speed) {
    const bool in = kind == FadeKind::InBlack || kind == FadeKind::InWhite;
    const bool white = kind == FadeKind::OutWhite || kind == FadeKind::InWhite;
    fx.on = 1;
    fx.fadeActive = 1;
    fx.fadeSpeed = speed < 1 ? ScreenEffects::kDefaultSpeed : speed;
    fx.fadeLevel = in ? 0 : 255;
    fx.fadeDirection = in ? 1 : -1;
    const int v = white ? 255 : 0;
    fillWorkScreen(pics, v, v, v);
}

void StartFlash(ScreenEffects& fx, Pictures& pics, int count, int period, int r, int g, int b, int level) {
    fx.on = 1;
    fx.flashFramesLeft = count < 1 ? 1 : count;
    fx.flashPeriod = period < 1 ? 1 : period;
    fx.flashLevel = level;
    fillWorkScreen(pics, r, g, b);
}

void StartDissolve(ScreenEffects& fx, Pictures& pics) {
    constexpr int s = ScreenEffects::kCell;
    fx.on = 1;
    fx.dissolveActive = 1;
    const S_Dib* screen = pics.Slot(Pictures::kBackBufferSlot);
    const int w = screen ? screen->Width() : 0, h = screen ? screen->Height() : 0;
    fx.dissolveRows = (h + s - 1) / s;
    fx.dissolveColumns = (w + s - 1) / s;
    fx.dissolveCounters.resize(size_t(fx.dissolveRows) * size_t(fx.dissolveColumns));
    for (int r = 0; r < fx.dissolveRows; ++r)
        for (int c = 0; c < fx.dissolveColumns; ++c)
            fx.dissolveCounters[size_t(r) * size_t(fx.dissolveColumns) + size_t(c)] = r + c;
    pics.SelectTarget(Pictures::kWorkScreenSlot);
    DrawPicture(pics, Pictures::kBackBufferSlot, 0, 0, -1, -1, 0, 0, pics.m_nPicCopyAlpha, kBlendNormal);
    pics.SelectTarget(Pictures::kBackBufferSlot);
}

void StopEffects(ScreenEffects& fx) {
    fx.on = 0;
    fx.fadeActive = 0;
}

bool DrawEffects(ScreenEffects& fx, Pictures& pics) {
    if (!fx.on) return false;
    if (fx.dissolveActive) {
        pics.SelectTarget(Pictures::kBackBufferSlot);
        if (!drawDissolve(fx, pics)) fx.dissolveActive = 0;
    }
    bool switchedOff = false;
    if (fx.fadeActive) {
        pics.SelectTarget(Pictures::kBackBufferSlot);
        drawWorkScreen(pics, fx.fadeLevel);
        const int64_t level = int64_t(fx.fadeLevel) + int64_t(fx.fadeSpeed) * fx.fadeDirection;
        fx.fadeLevel = level < 0 ? 0 : level > 256 ? 256 : int(level);
        if (fx.fadeLevel > 255) {
            fx.fadeLevel = 255;
            StopEffects(fx);
            switchedOff = true;
        }
    }
    // The flash still draws in the frame in which a fade-in ends.
    if (fx.flashFramesLeft > 0) {
        pics.SelectTarget(Pictures::kBackBufferSlot);
        if ((int64_t(fx.flashFramesLeft) - 1) % (2 * int64_t(fx.flashPeriod)) < fx.flashPeriod)
            drawWorkScreen(pics, fx.flashLevel);
        fx.flashFramesLeft -= 1;
    }
    return switchedOff;
}

}  // namespace qf
