// The sprite commands. Arguments are truncated to integers; an argument left
// out (_NIL) keeps the field it would set unless a command says otherwise.
#include <algorithm>
#include <string>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/sprite_hit.h"
#include "gfx/sprite_math.h"
#include "gfx/sprites.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// The sprite named by argument 0, or null when it is outside the table.
S_Sprite* sprite(Engine& e) { return e.sprites.At(argInt(e, 0)); }

int bankCount(const Sprites& s) { return std::clamp(s.m_nCount, 0, Sprites::kBankLimit); }

void cmdSprSet(Engine& e) {
    const int n = argInt(e, 0);
    S_Sprite* s = e.sprites.At(n);
    if (!s) return;
    keepArg(e, 1, s->m_nPic);
    keepArg(e, 2, s->m_nSrcX);
    keepArg(e, 3, s->m_nSrcY);
    keepArg(e, 4, s->m_nW);
    keepArg(e, 5, s->m_nH);
    keepArg(e, 7, s->m_nBlend);
    const S_Dib* picture = e.pictures.Slot(s->m_nPic);
    if (s->m_nW == 0) s->m_nW = picture ? picture->Width() : 0;
    if (s->m_nH == 0) s->m_nH = picture ? picture->Height() : 0;
    s->m_nPeriod = 1;
    s->m_nAnimePause = 0;
    s->m_nMask = -1;
    if (n >= e.sprites.m_nCount && n < Sprites::kBankLimit) e.sprites.m_nCount = n + 1;
    keepArg(e, 6, s->m_nView);
}

void cmdSprDel(Engine& e) {
    const int n = argInt(e, 0);
    if (n == -1) {
        for (int i = 0, count = bankCount(e.sprites); i < count; ++i) e.sprites.m_spr[i].m_nView = -1;
    } else if (S_Sprite* s = e.sprites.At(n)) {
        s->m_nView = -1;
    }
}

void setViews(Engine& e, int n, int v, bool withRange, int k) {
    Sprites& sp = e.sprites;
    if (n < 0) {
        const int count = bankCount(sp);
        if (v == 0) {
            for (int i = 0; i < count; ++i) {
                sp.m_nSavedView[i] = sp.m_spr[i].m_nView;
                sp.m_spr[i].m_nView = 0;
            }
        } else if (v == 1) {
            for (int i = 0; i < count; ++i) sp.m_spr[i].m_nView = sp.m_nSavedView[i];
        }
        return;
    }
    if (!Sprites::Valid(n)) return;
    sp.m_spr[n].m_nView = v;
    if (!withRange) return;
    const int64_t last = std::min<int64_t>(int64_t(n) + k - 1, Sprites::kCount - 1);
    for (int64_t i = int64_t(n) + 1; i <= last; ++i) sp.m_spr[i].m_nView = v;
}

void cmdSprView(Engine& e) {
    setViews(e, argInt(e, 0), argGiven(e, 1) ? argInt(e, 1) : 1, argGiven(e, 2), argInt(e, 2));
}

void cmdSprHide(Engine& e) { setViews(e, argInt(e, 0), 0, false, 0); }

void cmdSprViewGroup(Engine& e) {
    const int a = argInt(e, 0), b = argInt(e, 1), view = argInt(e, 2) != 0 ? 1 : 0;
    const int count = bankCount(e.sprites);
    if (a >= count) return;
    for (int i = std::max(a, 0), last = std::min(b, count - 1); i <= last; ++i) e.sprites.m_spr[i].m_nView = view;
}

void cmdSprInfoGet(Engine& e) {
    const S_Sprite* s = sprite(e);
    if (!s) return;
    setVariableInt(e, "_sprX", truncToInt(s->m_fX));
    setVariableInt(e, "_sprY", truncToInt(s->m_fY));
}

void cmdSprBank(Engine& e) {
    const int n = argInt(e, 0);
    if (n >= 0 && n < Sprites::kBankLimit) e.sprites.m_nCount = n;
}

void cmdSprOrder(Engine& e) { e.sprites.m_nOrder = argInt(e, 0) > 0 ? 1 : 0; }

void cmdSprCenter(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_nCenterX);
        keepArg(e, 2, s->m_nCenterY);
    }
}

void cmdSprMove(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_fX);
        keepArg(e, 2, s->m_fY);
        s->m_nVecFrames = 0;
        s->m_nGoalFrames = 0;
    }
}

void cmdSprVec(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_nVecX);
        keepArg(e, 2, s->m_nVecY);
        keepArg(e, 3, s->m_nVecFrames);
        s->m_nGoalFrames = 0;
    }
}

void cmdSprGoal(Engine& e) {
    S_Sprite* s = sprite(e);
    if (!s) return;
    keepArg(e, 1, s->m_nGoalX);
    keepArg(e, 2, s->m_nGoalY);
    keepArg(e, 3, s->m_nGoalFrames);
    if (s->m_nGoalFrames < 0) s->m_nGoalFrames = 1;
    s->m_nGoalCount = 0;
    s->m_dGoalStepX = (double(s->m_nGoalX) - double(s->m_fX)) / double(s->m_nGoalFrames);
    s->m_dGoalStepY = (double(s->m_nGoalY) - double(s->m_fY)) / double(s->m_nGoalFrames);
    s->m_nVecFrames = 0;
}

void cmdSprBlink(Engine& e) {
    if (S_Sprite* s = sprite(e)) s->m_nBlink = argInt(e, 1);
}

void cmdSprFlash(Engine& e) {
    S_Sprite* s = sprite(e);
    if (!s) return;
    keepArg(e, 1, s->m_nFlash);
    keepArg(e, 2, s->m_nFlashCycle);
    keepArg(e, 3, s->m_nR);
    keepArg(e, 4, s->m_nG);
    keepArg(e, 5, s->m_nB);
    if (s->m_nFlashCycle == 0) s->m_nFlashCycle = 1;
    s->m_nFadeOn = 0;
    auto component = [&](int slot) { return argGiven(e, slot) ? argInt(e, slot) : 0; };
    SetFlashColor(e.pictures, component(3), component(4), component(5));
}

void cmdSprColor(Engine& e) {
    S_Sprite* s = sprite(e);
    if (!s) return;
    keepArg(e, 1, s->m_nR);
    keepArg(e, 2, s->m_nG);
    keepArg(e, 3, s->m_nB);
    keepArg(e, 4, s->m_nAlpha);
    s->m_nPeriod = argGiven(e, 5) ? std::max(argInt(e, 5), 1) : 1;
    s->m_nBlend = kBlendLight;
    keepArg(e, 6, s->m_nView);
}

void cmdSprTransit(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_nTransitRule);
        keepArg(e, 2, s->m_nTransitLevel);
        keepArg(e, 3, s->m_nTransitStep);
    }
}

void cmdSprFade(Engine& e) {
    S_Sprite* s = sprite(e);
    if (!s) return;
    keepArg(e, 1, s->m_nFadeOn);
    keepArg(e, 2, s->m_nFadeStep);
    keepArg(e, 3, s->m_nFadeLevel);
    keepArg(e, 4, s->m_nFadeExtra);
    s->m_nFadeR = argGiven(e, 5) ? argInt(e, 5) : kNil;
    s->m_nFadeG = argGiven(e, 6) ? argInt(e, 6) : kNil;
    s->m_nFadeB = argGiven(e, 7) ? argInt(e, 7) : kNil;
}

void cmdSprBlend(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_nBlend);
        keepArg(e, 2, s->m_nAlpha);
        keepArg(e, 3, s->m_nMask);
    }
}

void cmdSprMosaic(Engine& e) {
    if (S_Sprite* s = sprite(e)) {
        keepArg(e, 1, s->m_nMosaicSize);
        keepArg(e, 2, s->m_nMosaicStep);
        keepArg(e, 3, s->m_nMosaicLevel);
        s->m_nBlend = kBlendMosaic;
    }
}

void cmdSprAnime(Engine& e) {
    const int n = argInt(e, 0);
    S_Sprite* s = e.sprites.At(n);
    if (!s) return;
    const int first = argInt(e, 1), frames = argInt(e, 2);
    if (first >= Sprites::kCount || frames >= Sprites::kCount) return;
    const bool newList = argGiven(e, 1) && argGiven(e, 2) && first >= 0 && frames >= 1;
    // A list must stay inside the table: one that would run past the last record is refused whole.
    if (newList && first > Sprites::kCount - frames) return;
    keepArg(e, 3, s->m_nPeriod);
    keepArg(e, 4, s->m_nAnimeLoop);
    if (argGiven(e, 2)) s->m_nAnimeFrames = frames;
    if (!newList) return;
    if (s->m_nAnimeState >= 1) e.sprites.FreeAnimeList(n);
    e.sprites.SetAnimeList(n, first, frames);
    if (s->m_nAnimeState == 0) s->m_nAnimeState = 1;
    s->m_nAnimeCountdown = 0;
}

void cmdSprAnimePause(Engine& e) {
    S_Sprite* s = sprite(e);
    if (!s) return;
    s->m_nAnimePause = argGiven(e, 1) ? argInt(e, 1) : (s->m_nAnimePause == 0 ? 1 : 0);
}

void cmdSprHit(Engine& e) {
    const int a = argInt(e, 0), b = argInt(e, 1), kind = argGiven(e, 2) ? argInt(e, 2) : 1;
    if (b >= 0) {
        setVariableInt(e, "_sprHit", SpriteHit(e.sprites, a, b, kind));
        return;
    }
    const std::vector<int> hits = SpriteHitList(e.sprites, a, kind);
    for (size_t i = 0; i < hits.size(); ++i) setVariableInt(e, "_sprHit[" + std::to_string(i) + "]", hits[i]);
    setVariableInt(e, "_sprHit", int(hits.size()));
}

}  // namespace

const CommandFamily kSpriteCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#sprBank", cmdSprBank},         {"#sprOrder", cmdSprOrder},
        {"#sprHit", cmdSprHit},           {"#sprColor", cmdSprColor},
        {"#sprInfoGet", cmdSprInfoGet},   {"#sprSet", cmdSprSet},
        {"#sprDel", cmdSprDel},           {"#sprView", cmdSprView},
        {"#sprHide", cmdSprHide},         {"#sprViewGroup", cmdSprViewGroup},
        {"#sprMove", cmdSprMove},         {"#sprVec", cmdSprVec},
        {"#sprCenter", cmdSprCenter},     {"#sprBlink", cmdSprBlink},
        {"#sprFlash", cmdSprFlash},       {"#sprAnime", cmdSprAnime},
        {"#sprAnimePause", cmdSprAnimePause}, {"#sprTransit", cmdSprTransit},
        {"#sprFade", cmdSprFade},         {"#sprBlend", cmdSprBlend},
        {"#sprMosaic", cmdSprMosaic},     {"#sprGoal", cmdSprGoal},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
