// One sprite record. Plug-ins receive the address of the table of these
// records, so the field order, the widths and the layout are fixed: ints are
// 32-bit, positions 32-bit floats, goal steps 64-bit doubles, the animation
// list a native pointer. This header needs nothing else of the engine so that
// the layout can be checked for 32-bit x86 as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace qf {

struct S_Sprite {
    int32_t m_nView = 0;  // > 0 drawn, 0 hidden, -1 deleted
    int32_t m_nDrawKind = 0;
    int32_t m_nPic = 0;
    int32_t m_nSrcX = 0, m_nSrcY = 0;
    int32_t m_nW = 0, m_nH = 0;
    float m_fX = 0, m_fY = 0;
    int32_t m_nCenterX = 0, m_nCenterY = 0;
    int32_t m_nAlpha = 0;
    int32_t m_nR = 0, m_nG = 0, m_nB = 0;
    int32_t m_nBlend = 0;
    int32_t m_nMask = -1;
    int32_t m_nVecX = 0, m_nVecY = 0;
    int32_t m_nVecFrames = 0;
    int32_t m_nBlink = 0;
    int32_t m_nFlash = 0;
    int32_t m_nFlashCycle = 0;
    int32_t m_nGoalX = 0, m_nGoalY = 0;
    int32_t m_nGoalFrames = 0;
    int32_t m_nGoalCount = 0;
    double m_dGoalStepX = 0, m_dGoalStepY = 0;
    int32_t m_nFadeOn = 0;
    int32_t m_nFadeStep = 0;
    int32_t m_nFadeLevel = 0;
    int32_t m_nFadeExtra = 0;
    int32_t m_nFadeR = 0, m_nFadeG = 0, m_nFadeB = 0;
    int32_t m_nLightLevel = 0;
    int32_t m_nLightDir = 1;
    int32_t m_nLightTick = 0;
    int32_t m_nTransitRule = 0;
    int32_t m_nTransitLevel = 0, m_nTransitStep = 0;
    int32_t m_nMosaicSize = 4;
    int32_t m_nMosaicStep = 1;
    int32_t m_nMosaicLevel = 0;
    int32_t m_nAnimeFrames = 0;
    int32_t m_nAnimeState = 0;  // 0 none, 1 running, > 1 frozen on the current frame
    int32_t m_nAnimeCountdown = 0;
    int32_t m_nAnimeCurrent = 0;
    int32_t m_nPeriod = 0;
    int32_t m_nAnimeLoop = 0;
    int32_t m_nAnimePause = 0;
    S_Sprite** m_ppAnime = nullptr;  // the frame records, while an animation is set
};

// What the per-sprite step chose to draw this frame, in rising priority.
enum SpriteDrawKind : int32_t {
    kSpriteNormal = 0,
    kSpriteFade = 1,
    kSpriteLight = 2,
    kSpriteAnime = 3,
    kSpriteFlash = 4,
    kSpriteTransit = 5,
    kSpriteMosaic = 6,
};

static_assert(std::is_standard_layout_v<S_Sprite>);
static_assert(offsetof(S_Sprite, m_fX) == 28);
static_assert(offsetof(S_Sprite, m_nGoalCount) == 104);
#if defined(__i386__)
static_assert(offsetof(S_Sprite, m_dGoalStepX) == 108);
static_assert(offsetof(S_Sprite, m_nFadeOn) == 124);
static_assert(offsetof(S_Sprite, m_ppAnime) == 216);
static_assert(sizeof(S_Sprite) == 220);
#elif defined(__x86_64__) || defined(__aarch64__)
static_assert(offsetof(S_Sprite, m_dGoalStepX) == 112);
static_assert(offsetof(S_Sprite, m_nFadeOn) == 128);
static_assert(offsetof(S_Sprite, m_ppAnime) == 224);
static_assert(sizeof(S_Sprite) == 232);
#endif

}  // namespace qf
