// One frame of one sprite: vector and goal motion, blink, then the draw of
// the kind the record selects, which also advances that kind's own counters.
#include <algorithm>
#include <cstdlib>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/masked_draw.h"
#include "gfx/pictures.h"
#include "gfx/sprite_math.h"
#include "gfx/sprites.h"

namespace qf {

namespace {

void moveSprite(S_Sprite& s) {
    if (s.m_nVecFrames > 0) {
        s.m_fX += float(s.m_nVecX);
        s.m_fY += float(s.m_nVecY);
        if (--s.m_nVecFrames < 1) s.m_nVecX = s.m_nVecY = s.m_nVecFrames = 0;
    }
    if (s.m_nGoalFrames > 0) {
        s.m_fX = float(double(s.m_fX) + s.m_dGoalStepX);
        s.m_fY = float(double(s.m_fY) + s.m_dGoalStepY);
        s.m_nGoalCount = wrapAdd(s.m_nGoalCount, 1);
        if (s.m_nGoalCount >= s.m_nGoalFrames) {
            s.m_nGoalFrames = 0;
            s.m_fX = float(s.m_nGoalX);
            s.m_fY = float(s.m_nGoalY);
        }
    }
}

SpriteDrawKind chooseKind(const S_Sprite& s) {
    SpriteDrawKind kind = kSpriteNormal;
    if (s.m_nFadeOn != 0) kind = kSpriteFade;
    if (s.m_nBlend == kBlendLight) kind = kSpriteLight;
    if (s.m_nAnimeState >= 1) kind = kSpriteAnime;
    if (s.m_nFlash > 0) kind = kSpriteFlash;
    if (s.m_nTransitRule > 0) kind = kSpriteTransit;
    if (s.m_nBlend == kBlendMosaic) kind = kSpriteMosaic;
    return kind;
}

void drawRect(Pictures& pics, const S_Sprite& s, int dx, int dy, int alpha, int mode) {
    DrawPicture(pics, s.m_nPic, dx, dy, s.m_nW, s.m_nH, s.m_nSrcX, s.m_nSrcY, alpha, mode);
}

void drawNormal(Pictures& pics, const S_Sprite& s, int dx, int dy) {
    if (s.m_nMask >= 0 && s.m_nMask <= 31)
        MaskedCopy(pics, s.m_nPic, s.m_nMask);
    else
        drawRect(pics, s, dx, dy, s.m_nAlpha, s.m_nBlend);
}

void drawFade(Pictures& pics, S_Sprite& s, int dx, int dy) {
    s.m_nFadeLevel = int(std::clamp<int64_t>(int64_t(s.m_nFadeLevel) + s.m_nFadeStep, 0, 255));
    const bool silhouette = !(s.m_nFadeR == kArgAbsent && s.m_nFadeG == kArgAbsent && s.m_nFadeB == kArgAbsent);
    if (s.m_nFadeLevel != 0 && silhouette) {
        SetFlashColor(pics, s.m_nFadeR, s.m_nFadeG, s.m_nFadeB);
        drawRect(pics, s, dx, dy, 0, kBlendFlash);
        SetFlashColor(pics, 255, 255, 255);
    }
    drawRect(pics, s, dx, dy, s.m_nFadeLevel, kBlendNormal);
}

void drawLight(Pictures& pics, S_Sprite& s, int dx, int dy) {
    if (s.m_nLightLevel > 128) s.m_nLightDir = -1;
    if (s.m_nLightLevel < 0) s.m_nLightDir = 1;
    s.m_nLightTick = wrapAdd(s.m_nLightTick, 1);
    if (s.m_nLightTick % std::max(s.m_nPeriod, 1) == 0)
        s.m_nLightLevel = wrapAdd(s.m_nLightLevel, int64_t(16) * s.m_nLightDir);
    const int keep = int(std::clamp<int64_t>(int64_t(s.m_nLightLevel) + s.m_nAlpha, 0, 255));
    if (S_Dib* target = pics.Target())
        target->Tint(dx, dy, s.m_nW, s.m_nH, colourByte(s.m_nR), colourByte(s.m_nG), colourByte(s.m_nB), keep);
}

void drawAnime(Sprites& sprites, Pictures& pics, int n, int dx, int dy) {
    S_Sprite& s = sprites.m_spr[n];
    const std::vector<S_Sprite*>& list = sprites.animeList[n];
    if (s.m_nAnimeCurrent >= 0 && size_t(s.m_nAnimeCurrent) < list.size()) {
        const S_Sprite& f = *list[size_t(s.m_nAnimeCurrent)];
        DrawPicture(pics, f.m_nPic, dx, dy, f.m_nW, f.m_nH, f.m_nSrcX, f.m_nSrcY, 0, f.m_nBlend);
    }
    if (s.m_nAnimeState > 1) return;
    if (s.m_nAnimePause == 0) s.m_nAnimeCountdown = wrapAdd(s.m_nAnimeCountdown, -1);
    if (s.m_nAnimeCountdown > 0) return;
    s.m_nAnimeCountdown = s.m_nPeriod;
    s.m_nAnimeCurrent = wrapAdd(s.m_nAnimeCurrent, 1);
    if (s.m_nAnimeCurrent < s.m_nAnimeFrames) return;
    if (s.m_nAnimeLoop == 0)
        s.m_nView = 0;
    else if (s.m_nAnimeLoop > 0)
        s.m_nAnimeCountdown = wrapAdd(s.m_nAnimeLoop, int64_t(s.m_nPeriod) - 1);
    else
        s.m_nAnimeCountdown = int(sprites.random->next() % -int64_t(s.m_nAnimeLoop));
    s.m_nAnimeCurrent = s.m_nAnimeFrames > 0 ? s.m_nAnimeCurrent % s.m_nAnimeFrames : 0;
}

void drawFlash(Pictures& pics, S_Sprite& s, int dx, int dy) {
    const int cycle = s.m_nFlashCycle != 0 ? s.m_nFlashCycle : 1;
    if (s.m_nFlash % cycle >= cycle / 2)
        drawRect(pics, s, dx, dy, 0, kBlendFlash);
    else
        drawRect(pics, s, dx, dy, 0, s.m_nBlend);
    --s.m_nFlash;
}

void drawTransit(Pictures& pics, S_Sprite& s, int dx, int dy) {
    DrawTransit(pics, s.m_nPic, s.m_nTransitRule, s.m_nTransitLevel, dx, dy);
    s.m_nTransitLevel = wrapAdd(s.m_nTransitLevel, s.m_nTransitStep);
}

void drawMosaic(Pictures& pics, S_Sprite& s, int dx, int dy) {
    // Blocks sample the sprite's own rectangle of its picture.
    Mosaic(pics, s.m_nPic, dx, dy, s.m_nW, s.m_nH, s.m_nMosaicSize, s.m_nMosaicLevel / 16, s.m_nSrcX, s.m_nSrcY);
    s.m_nMosaicLevel = wrapAdd(s.m_nMosaicLevel, s.m_nMosaicStep);
}

}  // namespace

void DrawSprite(Sprites& sprites, Pictures& pics, int n) {
    S_Sprite* sp = sprites.At(n);
    if (!sp || sp->m_nView < 1 || sp->m_nW == 0 || sp->m_nH == 0) return;
    S_Sprite& s = *sp;
    moveSprite(s);
    if (s.m_nBlink > 0) {
        --s.m_nBlink;
        if (s.m_nBlink % Sprites::kBlinkPeriod < 3) return;
    }
    const int dx = truncToInt(s.m_fX - float(s.m_nCenterX));
    const int dy = truncToInt(s.m_fY - float(s.m_nCenterY));
    s.m_nDrawKind = chooseKind(s);
    // Every kind draws into the back buffer, whatever target a script left selected.
    pics.SelectTarget(Pictures::kBackBufferSlot);
    switch (s.m_nDrawKind) {
        case kSpriteNormal: drawNormal(pics, s, dx, dy); break;
        case kSpriteFade: drawFade(pics, s, dx, dy); break;
        case kSpriteLight: drawLight(pics, s, dx, dy); break;
        case kSpriteAnime: drawAnime(sprites, pics, n, dx, dy); break;
        case kSpriteFlash: drawFlash(pics, s, dx, dy); break;
        case kSpriteTransit: drawTransit(pics, s, dx, dy); break;
        case kSpriteMosaic: drawMosaic(pics, s, dx, dy); break;
        default: break;
    }
}

void DrawSpriteBank(Sprites& sprites, Pictures& pics) {
    const int count = std::clamp(sprites.m_nCount, 0, Sprites::kBankLimit);
    for (int i = 0; i < count; ++i) {
        const int n = sprites.m_nOrder == 0 ? i : count - 1 - i;
        if (sprites.m_spr[n].m_nView > 0) DrawSprite(sprites, pics, n);
    }
}

void DrawSpriteRange(Sprites& sprites, Pictures& pics, int first, int last) {
    for (int n = std::max(first, 0); n <= last && n < Sprites::kCount; ++n) DrawSprite(sprites, pics, n);
}

}  // namespace qf
