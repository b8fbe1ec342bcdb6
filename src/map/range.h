// Movement ranges for tactics scenes: from a centre cell and a number of
// movement points, with a cost per chip, which cells can be reached and with
// how many points left; and the walking route to a reached cell.
#pragma once

#include <functional>
#include <vector>

namespace qf {

struct S_Map2;

// Key codes of the route's steps.
inline constexpr int kRouteUp = 1, kRouteDown = 2, kRouteLeft = 4, kRouteRight = 8;

struct MovementRange {
    static constexpr int kMaxRadius = 127;

    int radius = 0;            // 0: no range
    int centreX = 0, centreY = 0;
    std::vector<int> grid;     // (2n + 1)², row-major; row i + n, column j + n for offsets i, j
    std::vector<int> route;    // key codes, from the centre outward
    std::vector<int> marks;    // grid indexes of the marked cells
    int chipSize = 16;
    // The pulse of the marks' light tint.
    int lightLevel = 0, lightDir = 1, lightTick = 0;

    int side() const { return 2 * radius + 1; }
    // The grid value at row offset i, column offset j; 0 outside.
    int At(int i, int j) const;

    // Chip of every grid cell inside the map, then its cost from `cost(chip)`
    // (values <= 0 cost 255), then the points left on reaching each cell.
    // n <= 0 clears the range; n above kMaxRadius is ignored (false).
    bool Compute(int n, int x, int y, const S_Map2& map, const std::function<int(int chip)>& cost);
    void Clear();
    // Traces from the grid cell of map cell (x, y) towards rising values;
    // fills `route`.
    void Walk(int x, int y);
};

// The points left on every cell of a cost grid (side × side, row-major,
// negative values cost 255, the centre costs 1) when starting at the centre
// with n + 1 points; 0 for cells that cannot be reached.
std::vector<int> reachGrid(const std::vector<int>& costs, int n);

}  // namespace qf
