// The sprite table and its global state, the per-sprite step and the three
// drawing groups: 0 .. count - 1 drawn by "WND_SPR", 256..319 after the
// planes (then the gauges), 320..327 on top of every window.
#pragma once

#include <vector>

#include "gfx/sprite_record.h"
#include "script/random.h"

namespace qf {

class Pictures;

struct Sprites {
    static constexpr int kCount = 328;
    static constexpr int kBankLimit = 256;  // the "WND_SPR" group is at most 0..255
    static constexpr int kLowFirst = 256, kLowLast = 319;
    static constexpr int kTopFirst = 320, kTopLast = 327;
    static constexpr int kBlinkPeriod = 6;

    S_Sprite m_spr[kCount];
    int m_nCount = 16;  // sprites 0 .. count - 1 belong to "WND_SPR"
    ScriptRandom* random = nullptr;  // the random rest of looping animations
    int m_nOrder = 0;   // 0 ascending (higher numbers on top), 1 descending
    int m_nSavedView[kBankLimit] = {};
    // The frame records of each sprite's animation; a record's m_ppAnime
    // points into its list.
    std::vector<S_Sprite*> animeList[kCount];

    static bool Valid(int n) { return n >= 0 && n < kCount; }
    S_Sprite* At(int n) { return Valid(n) ? &m_spr[n] : nullptr; }

    // Replaces sprite n's animation list by the records first .. first + frames - 1.
    void SetAnimeList(int n, int first, int frames);
    void FreeAnimeList(int n);
    void FreeAnimeLists();
};

// One frame of sprite n: motion, blink, then the draw of its kind into the
// back buffer. Also what other layers call to draw one sprite by number.
void DrawSprite(Sprites& sprites, Pictures& pictures, int n);

void DrawSpriteBank(Sprites& sprites, Pictures& pictures);
void DrawSpriteRange(Sprites& sprites, Pictures& pictures, int first, int last);

}  // namespace qf
