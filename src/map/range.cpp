#include "map/range.h"

#include <algorithm>
#include <climits>
#include <queue>
#include <utility>

#include "map/map.h"

namespace qf {

namespace {

constexpr int kUnreachableCost = 255;

}  // namespace

std::vector<int> reachGrid(const std::vector<int>& costs, int n) {
    const int side = 2 * n + 1;
    const size_t cells = static_cast<size_t>(side) * static_cast<size_t>(side);
    std::vector<int> work(cells, 0);
    if (n < 0 || costs.size() != cells) return work;
    const int centre = n * side + n;
    auto costOf = [&](int k) -> long long {
        if (k == centre) return 1;
        return costs[static_cast<size_t>(k)] < 0 ? kUnreachableCost : costs[static_cast<size_t>(k)];
    };
    // Every walk from the centre keeps spending points, so the most points
    // left on a cell come from its cheapest path: a search that settles cells
    // by the points left, most first, gives what following every walk would.
    std::vector<long long> best(cells, LLONG_MIN);
    std::priority_queue<std::pair<long long, int>> open;
    const long long start = static_cast<long long>(n) + 1 - 1;
    work[static_cast<size_t>(centre)] = n + 1;
    if (start > 0) {
        best[static_cast<size_t>(centre)] = start;
        open.emplace(start, centre);
    }
    while (!open.empty()) {
        const auto [left, k] = open.top();
        open.pop();
        if (left < best[static_cast<size_t>(k)]) continue;
        const int r = k / side, c = k % side;
        const int next[4][2] = {{r - 1, c}, {r, c - 1}, {r, c + 1}, {r + 1, c}};
        for (const auto& rc : next) {
            if (rc[0] < 0 || rc[1] < 0 || rc[0] >= side || rc[1] >= side) continue;
            const int v = rc[0] * side + rc[1];
            const long long remaining = left - costOf(v);
            int& w = work[static_cast<size_t>(v)];
            if (remaining + 1 > w) w = static_cast<int>(remaining + 1);
            if (remaining > 0 && remaining > best[static_cast<size_t>(v)]) {
                best[static_cast<size_t>(v)] = remaining;
                open.emplace(remaining, v);
            }
        }
    }
    return work;
}

int MovementRange::At(int i, int j) const {
    if (radius <= 0 || i < -radius || i > radius || j < -radius || j > radius) return 0;
    return grid[static_cast<size_t>(i + radius) * static_cast<size_t>(side()) + static_cast<size_t>(j + radius)];
}

void MovementRange::Clear() {
    radius = 0;
    grid.clear();
    route.clear();
    marks.clear();
}

bool MovementRange::Compute(int n, int x, int y, const S_Map2& map, const std::function<int(int chip)>& cost) {
    if (n <= 0) {
        Clear();
        return true;
    }
    if (n > kMaxRadius) return false;
    radius = n;
    centreX = x;
    centreY = y;
    chipSize = map.chipSize;
    route.clear();
    const int s = side();
    std::vector<int> costs(static_cast<size_t>(s) * static_cast<size_t>(s), -1);
    for (int r = 0; r < s; ++r)
        for (int c = 0; c < s; ++c) {
            const long long mx = static_cast<long long>(x) - n + c, my = static_cast<long long>(y) - n + r;
            if (mx < 0 || my < 0 || mx >= map.m_nMapW || my >= map.m_nMapH || !map.loaded()) continue;
            const int chip = map.chips[static_cast<size_t>(my) * static_cast<size_t>(map.m_nMapW) + static_cast<size_t>(mx)];
            const int value = cost(chip);
            costs[static_cast<size_t>(r) * static_cast<size_t>(s) + static_cast<size_t>(c)] = value > 0 ? value : kUnreachableCost;
        }
    grid = reachGrid(costs, n);
    marks.clear();
    for (size_t k = 0; k < grid.size(); ++k)
        if (grid[k] > 0) marks.push_back(static_cast<int>(k));
    lightLevel = 0;
    lightDir = 1;
    lightTick = 0;
    return true;
}

void MovementRange::Walk(int x, int y) {
    route.clear();
    if (radius <= 0) return;
    long long i = static_cast<long long>(y) - centreY, j = static_cast<long long>(x) - centreX;
    auto value = [&](long long a, long long b) {
        return a < -radius || a > radius || b < -radius || b > radius ? 0 : At(static_cast<int>(a), static_cast<int>(b));
    };
    // Each traced step goes from the target towards the centre; the route is
    // the same steps walked back, from the centre outward.
    constexpr int kToward[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};  // above, below, left, right
    constexpr int kWalked[4] = {kRouteDown, kRouteUp, kRouteRight, kRouteLeft};
    std::vector<int> traced;
    for (;;) {
        const int here = value(i, j);
        int bestDir = -1, bestValue = here;
        for (int d = 0; d < 4; ++d) {
            const int v = value(i + kToward[d][0], j + kToward[d][1]);
            if (v > bestValue) {
                bestValue = v;
                bestDir = d;
            }
        }
        if (bestDir < 0) break;
        traced.push_back(kWalked[bestDir]);
        i += kToward[bestDir][0];
        j += kToward[bestDir][1];
    }
    route.assign(traced.rbegin(), traced.rend());
}

}  // namespace qf
