#include "gfx/round_rect.h"

#include <algorithm>
#include <cmath>

namespace qf {

namespace {

int64_t isqrt(int64_t m) {
    int64_t s = static_cast<int64_t>(std::sqrt(static_cast<double>(m)));
    while (s > 0 && s * s > m) --s;
    while ((s + 1) * (s + 1) <= m) ++s;
    return s;
}

int64_t floorDiv2(int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
int64_t ceilDiv2(int64_t v) { return -floorDiv2(-v); }

// Keeps every product of the row arithmetic far inside 64 bits.
constexpr int64_t kCoordinateLimit = int64_t(1) << 40;

}  // namespace

RowSpan RoundRectRow(const RoundRectShape& s, int64_t grow, int64_t row) {
    const int64_t left = s.left - grow, top = s.top - grow, right = s.right + grow, bottom = s.bottom + grow;
    if (row < top || row >= bottom || left >= right) return {};
    int64_t radius = std::max<int64_t>(s.cornerWidth / 2 + grow, 0);
    radius = std::min({radius, (right - left) / 2, (bottom - top) / 2});
    // Doubled coordinates keep pixel centres (n + ½) integral.
    const int64_t centre = 2 * row + 1;
    const int64_t upper = 2 * (top + radius), lower = 2 * (bottom - radius);
    int64_t dy = 0;
    if (centre < upper) dy = upper - centre;
    else if (centre > lower) dy = centre - lower;
    if (dy == 0) return {left, right};
    const int64_t m = 4 * radius * radius - dy * dy;
    if (m < 0) return {};
    const int64_t reach = isqrt(m);
    const int64_t first = std::max(left, ceilDiv2(2 * (left + radius) - reach - 1));
    const int64_t end = std::min(right, floorDiv2(2 * (right - radius) + reach - 1) + 1);
    return first < end ? RowSpan{first, end} : RowSpan{};
}

void StrokeRoundRect(const PixelTarget& t, const RoundRectShape& shape, int penWidth, uint32_t colour) {
    if (!t.bits || penWidth < 1 || t.width <= 0 || t.height <= 0) return;
    RoundRectShape s = shape;
    s.left = std::clamp(s.left, -kCoordinateLimit, kCoordinateLimit);
    s.right = std::clamp(s.right, -kCoordinateLimit, kCoordinateLimit);
    s.top = std::clamp(s.top, -kCoordinateLimit, kCoordinateLimit);
    s.bottom = std::clamp(s.bottom, -kCoordinateLimit, kCoordinateLimit);
    s.cornerWidth = std::clamp<int64_t>(s.cornerWidth, 0, kCoordinateLimit);
    const int64_t outward = (penWidth - 1) / 2, inward = penWidth - outward;
    const uint8_t b = static_cast<uint8_t>(colour >> 16), g = static_cast<uint8_t>(colour >> 8),
                  r = static_cast<uint8_t>(colour);
    const int64_t firstRow = std::max<int64_t>(s.top - outward, 0);
    const int64_t endRow = std::min<int64_t>(s.bottom + outward, t.height);
    auto paint = [&](uint8_t* line, int64_t from, int64_t to) {
        from = std::max<int64_t>(from, 0);
        to = std::min<int64_t>(to, t.width);
        for (int64_t x = from; x < to; ++x) {
            line[x * 3] = b;
            line[x * 3 + 1] = g;
            line[x * 3 + 2] = r;
        }
    };
    for (int64_t row = firstRow; row < endRow; ++row) {
        const RowSpan outer = RoundRectRow(s, outward, row);
        if (outer.first >= outer.end) continue;
        uint8_t* line = t.bits + static_cast<size_t>(row) * static_cast<size_t>(t.stride);
        const RowSpan inner = RoundRectRow(s, -inward, row);
        if (inner.first >= inner.end) {
            paint(line, outer.first, outer.end);
        } else {
            paint(line, outer.first, inner.first);
            paint(line, inner.end, outer.end);
        }
    }
}

}  // namespace qf
