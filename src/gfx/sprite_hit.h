// Hit tests between two sprites of the table.
#pragma once

#include <vector>

namespace qf {

struct Sprites;

// 1 when sprite a hits sprite b by test kind 0..5, else 0 (also for a = b,
// numbers outside the table, hidden or deleted sprites and other kinds):
//   0 equal points, 1 a's point in b's rectangle, 2 a within half b's width
//   of b, 3 b's point in a's rectangle, 4 overlapping rectangles (a's right or
//   bottom edge on b's left or top edge counts), 5 within the two half widths.
int SpriteHit(const Sprites& sprites, int a, int b, int kind);

// Every sprite 0 .. count - 1 other than a that a hits, ascending.
std::vector<int> SpriteHitList(const Sprites& sprites, int a, int kind);

}  // namespace qf
