#include "map/range_marks.h"

#include <algorithm>

#include "gfx/dib.h"
#include "gfx/pictures.h"
#include "map/map.h"
#include "map/range.h"

namespace qf {

namespace {

constexpr int kMarkKeep = 128;
constexpr int kMarkPeriod = 6;
constexpr int kPulseStep = 16;
constexpr int kPulseTop = 128;

}  // namespace

void DrawRangeMarks(MovementRange& range, Pictures& pics, const S_Map2& map) {
    if (range.radius <= 0 || range.marks.empty()) return;
    // The pulse of a light-tinted sprite: up to the top and back down to 0.
    if (range.lightLevel > kPulseTop) range.lightDir = -1;
    if (range.lightLevel < 0) range.lightDir = 1;
    if (++range.lightTick % kMarkPeriod == 0) range.lightLevel += kPulseStep * range.lightDir;
    const int keep = std::clamp(range.lightLevel + kMarkKeep, 0, 255);
    pics.SelectTarget(Pictures::kBackBufferSlot);
    S_Dib* target = pics.Target();
    if (!target) return;
    const int s = map.chipSize;
    const int side = range.side();
    for (int k : range.marks) {
        const long long mx = static_cast<long long>(range.centreX) - range.radius + k % side;
        const long long my = static_cast<long long>(range.centreY) - range.radius + k / side;
        const long long x = map.screenX + mx * s - map.m_nScrX, y = map.screenY + my * s - map.m_nScrY;
        if (x < -s || y < -s || x > target->Width() || y > target->Height()) continue;
        target->Tint(static_cast<int>(x), static_cast<int>(y), s, s, 255, 255, 255, keep);
    }
}

}  // namespace qf
