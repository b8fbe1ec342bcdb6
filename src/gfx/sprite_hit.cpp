#include "gfx/sprite_hit.h"

#include <algorithm>
#include <cmath>

#include "gfx/sprite_math.h"
#include "gfx/sprites.h"

namespace qf {

namespace {

struct HitShape {
    int left, top, right, bottom;  // right and bottom exclusive
    int px, py;
    float x, y;
    int halfWidth;
};

HitShape shapeOf(const S_Sprite& s) {
    HitShape h;
    h.left = truncToInt(s.m_fX - float(s.m_nCenterX));
    h.right = truncToInt(s.m_fX + float(s.m_nW) - float(s.m_nCenterX));
    h.top = truncToInt(s.m_fY - float(s.m_nCenterY));
    h.bottom = truncToInt(s.m_fY + float(s.m_nH) - float(s.m_nCenterY));
    h.px = truncToInt(s.m_fX);
    h.py = truncToInt(s.m_fY);
    h.x = s.m_fX;
    h.y = s.m_fY;
    h.halfWidth = s.m_nW / 2;
    return h;
}

bool pointIn(int px, int py, const HitShape& r) { return px >= r.left && px < r.right && py >= r.top && py < r.bottom; }

bool within(const HitShape& a, const HitShape& b, int reach) {
    if (a.x == b.x && a.y == b.y) return true;
    const float dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy) <= float(reach);
}

}  // namespace

int SpriteHit(const Sprites& sprites, int a, int b, int kind) {
    if (a == b || !Sprites::Valid(a) || !Sprites::Valid(b) || kind < 0 || kind > 5) return 0;
    const S_Sprite &sa = sprites.m_spr[a], &sb = sprites.m_spr[b];
    if (sa.m_nView < 1 || sb.m_nView < 1) return 0;
    const HitShape ha = shapeOf(sa), hb = shapeOf(sb);
    switch (kind) {
        case 0: return ha.px == hb.px && ha.py == hb.py;
        case 1: return pointIn(ha.px, ha.py, hb);
        case 2: return within(ha, hb, hb.halfWidth);
        case 3: return pointIn(hb.px, hb.py, ha);
        case 4:
            return !(ha.right < hb.left || ha.left >= hb.right || ha.bottom < hb.top || ha.top >= hb.bottom);
        default: return within(ha, hb, ha.halfWidth + hb.halfWidth);
    }
}

std::vector<int> SpriteHitList(const Sprites& sprites, int a, int kind) {
    std::vector<int> hits;
    const int count = std::clamp(sprites.m_nCount, 0, Sprites::kBankLimit);
    for (int n = 0; n < count; ++n)
        if (n != a && SpriteHit(sprites, a, n, kind)) hits.push_back(n);
    return hits;
}

}  // namespace qf
