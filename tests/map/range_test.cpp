#include "map/range.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "map/map.h"

namespace qf {
namespace {

// The reach step followed literally: every neighbour again and again.
void literalReach(const std::vector<int>& costs, int side, int centre, int k, int m, std::vector<int>& work) {
    int cost = costs[static_cast<size_t>(k)];
    if (cost < 0) cost = 255;
    if (k == centre) cost = 1;
    const int remaining = m - cost;
    work[static_cast<size_t>(k)] = std::max(work[static_cast<size_t>(k)], remaining + 1);
    if (remaining <= 0) return;
    const int r = k / side, c = k % side;
    if (r > 0) literalReach(costs, side, centre, k - side, remaining, work);
    if (c > 0) literalReach(costs, side, centre, k - 1, remaining, work);
    if (c < side - 1) literalReach(costs, side, centre, k + 1, remaining, work);
    if (r < side - 1) literalReach(costs, side, centre, k + side, remaining, work);
}

std::vector<int> literalGrid(const std::vector<int>& costs, int n) {
    const int side = 2 * n + 1;
    std::vector<int> work(costs.size(), 0);
    literalReach(costs, side, n * side + n, n * side + n, n + 1, work);
    return work;
}

TEST(Range, MatchesFollowingEveryWalkOnRandomCosts) {
    std::mt19937 gen(12345);
    for (int n = 1; n <= 5; ++n) {
        const int side = 2 * n + 1;
        for (int trial = 0; trial < 40; ++trial) {
            std::vector<int> costs(static_cast<size_t>(side * side));
            // Mostly cheap cells, some dear ones, some off the map (-1), some
            // that cost more than any radius here.
            std::uniform_int_distribution<int> pick(0, 9);
            for (int& v : costs) {
                const int p = pick(gen);
                v = p < 5 ? 1 : p < 7 ? 2 : p < 8 ? 3 : p < 9 ? -1 : 255;
            }
            ASSERT_EQ(reachGrid(costs, n), literalGrid(costs, n)) << "n " << n << " trial " << trial;
        }
    }
}

TEST(Range, LargeRadiusIsQuick) {
    const int n = 30, side = 2 * n + 1;
    std::vector<int> costs(static_cast<size_t>(side * side), 1);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<int> work = reachGrid(costs, n);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(200));
    // Points left fall by one per step: the centre keeps n + 1, corners n + 1 - 2n.
    EXPECT_EQ(work[static_cast<size_t>(n * side + n)], n + 1);
    EXPECT_EQ(work[static_cast<size_t>(n * side)], 1);
    EXPECT_EQ(work[0], 0);
}

S_Map2 mapOf(int w, int h, std::initializer_list<int> chips) {
    S_Map2 map;
    ChipGrid g{w, h, std::vector<int>(chips)};
    map.SetChips(std::move(g));
    return map;
}

TEST(Range, CostsComeFromTheChipsInsideTheMap) {
    // 3 × 3 map; chip 5 costs 2, chip 7 has no cost (255).
    const S_Map2 map = mapOf(3, 3, {0, 5, 0,
                                    0, 0, 7,
                                    0, 0, 0});
    auto cost = [](int chip) { return chip == 0 ? 1 : chip == 5 ? 2 : 0; };
    MovementRange range;
    ASSERT_TRUE(range.Compute(1, 1, 1, map, cost));
    EXPECT_EQ(range.At(0, 0), 2);
    EXPECT_EQ(range.At(-1, 0), 0);  // cost 2 with one point
    EXPECT_EQ(range.At(0, 1), 0);   // no cost
    EXPECT_EQ(range.At(0, -1), 1);
    EXPECT_EQ(range.At(1, 0), 1);
    EXPECT_EQ(range.marks.size(), 3u);

    // From the corner: cells off the map are never reached.
    ASSERT_TRUE(range.Compute(2, 0, 0, map, cost));
    EXPECT_EQ(range.At(0, 0), 3);
    EXPECT_EQ(range.At(-1, 0), 0);
    EXPECT_EQ(range.At(0, 1), 1);  // the chip 5 cell: 3 - 1 - 2 + 1
    EXPECT_EQ(range.At(2, 0), 1);

    EXPECT_FALSE(range.Compute(MovementRange::kMaxRadius + 1, 0, 0, map, cost));
    EXPECT_EQ(range.radius, 2);  // an oversized radius changes nothing
    ASSERT_TRUE(range.Compute(0, 0, 0, map, cost));
    EXPECT_EQ(range.radius, 0);
    EXPECT_TRUE(range.marks.empty());
}

TEST(Range, WalkPrefersAboveBelowLeftRightAndEndsAtTheCentre) {
    S_Map2 map;
    ASSERT_TRUE(map.Reset(5, 5));
    auto cost = [](int chip) { return chip == 0 ? 1 : 0; };
    MovementRange range;
    ASSERT_TRUE(range.Compute(2, 2, 2, map, cost));
    // (3, 3): the cells above and left of it both lead back; above wins, so
    // walked from the centre it is right, then down.
    range.Walk(3, 3);
    EXPECT_EQ(range.route, (std::vector<int>{kRouteRight, kRouteDown}));
    range.Walk(0, 2);
    EXPECT_EQ(range.route, (std::vector<int>{kRouteLeft, kRouteLeft}));
    range.Walk(2, 2);
    EXPECT_TRUE(range.route.empty());
    // Just outside the grid the walk still climbs in from the edge.
    range.Walk(2, 5);
    EXPECT_EQ(range.route, (std::vector<int>{kRouteDown, kRouteDown, kRouteDown}));
    range.Walk(7, 7);
    EXPECT_TRUE(range.route.empty());
}

}  // namespace
}  // namespace qf
