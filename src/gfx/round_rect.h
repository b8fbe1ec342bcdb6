// The outline of a rectangle with rounded corners, stroked with a square pen
// into a 24-bit picture.
#pragma once

#include <cstdint>

#include "platform/host.h"

namespace qf {

struct RoundRectShape {
    int64_t left = 0, top = 0, right = 0, bottom = 0;  // pixels left..right−1, top..bottom−1
    int64_t cornerWidth = 6;                           // corner ellipse width and height
};

// A pixel belongs to a rounded rectangle when its centre lies inside the
// rectangle and, in a corner, inside the corner's circle. The stroke of width
// n is the rounded rectangle grown by (n − 1) / 2 less the one shrunk by
// n − (n − 1) / 2, so a width-1 stroke is the rectangle's own edge pixels.
void StrokeRoundRect(const PixelTarget& target, const RoundRectShape& shape, int penWidth, uint32_t colour);

// The row's pixels [first, end) that lie inside the shape grown by `grow`
// (negative shrinks); first == end when none.
struct RowSpan {
    int64_t first = 0, end = 0;
};
RowSpan RoundRectRow(const RoundRectShape& shape, int64_t grow, int64_t row);

}  // namespace qf
