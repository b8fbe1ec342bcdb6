#include "map/map_draw.h"

#include <gtest/gtest.h>

#include "gfx/pictures.h"
#include "map/map.h"
#include "platform/headless/headless_host.h"
#include "tests/gfx/picture_helpers.h"

namespace qf {
namespace {

using test::Bgr;

constexpr int kChip = 4;
constexpr int kSheetSlot = 1, kTargetSlot = 0;
const Bgr kBackground{200, 1, 2};

// Chip k of the sheet is one colour; drawn with the normal mode at full
// strength each channel lands as (c × 255) >> 8.
Bgr chipColour(int k) { return {uint8_t(50 + 5 * k), uint8_t(40 + 10 * k), uint8_t(30 + 20 * k)}; }
Bgr drawn(int k) {
    Bgr c = chipColour(k);
    return {uint8_t(c.b * 255 >> 8), uint8_t(c.g * 255 >> 8), uint8_t(c.r * 255 >> 8)};
}

struct DrawFixture : ::testing::Test {
    HeadlessHost host;
    Pictures pics{host};
    S_Map2 map;

    void SetUp() override {
        // Six chips of 4 pixels, two a row.
        pics.MakeSlot(kSheetSlot, 2 * kChip, 3 * kChip);
        test::paint(*pics.Slot(kSheetSlot), 2 * kChip, 3 * kChip,
                    [](int x, int y) { return chipColour((y / kChip) * 2 + x / kChip); });
        pics.MakeSlot(kTargetSlot, 40, 40);
        clearTarget();
        // A 6 × 3 map, cell (x, y) holding chip (x + 2y) % 6, a 2 × 2 view at (8, 8).
        ChipGrid grid{6, 3, {}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) grid.chips.push_back((x + 2 * y) % 6);
        map.SetView(2, 2, kChip, 0);
        map.SetScreenPos(8, 8);
        map.SetChipPicture(kSheetSlot, 2 * kChip);
        ASSERT_TRUE(map.SetChips(grid));
        map.outChip = 5;
        map.Show();
    }
    void clearTarget() {
        test::paint(*pics.Slot(kTargetSlot), 40, 40, [](int, int) { return kBackground; });
    }
    void draw() {
        pics.SelectTarget(kTargetSlot);
        DrawMap(map, pics);
    }
    Bgr at(int x, int y) { return test::at(*pics.Slot(kTargetSlot), x, y); }
    void scrollTo(int x, int y) {
        map.m_nScrX = x;
        map.m_nScrY = y;
        map.Refill();
    }
};

// The view's first cell sits at the screen position; the buffer reaches one
// cell before and two after it, and fine scrolling moves every cell alike.
TEST_F(DrawFixture, CellsLandAtTheirPixelsAndScrollByPixels) {
    scrollTo(0, 0);
    draw();
    EXPECT_EQ(at(8, 8), drawn(0));
    EXPECT_EQ(at(12, 8), drawn(1));
    EXPECT_EQ(at(8, 12), drawn(2));       // cell (0, 1)
    EXPECT_EQ(at(7, 8), drawn(5));        // cell (−1, 0): outside, the out-of-map chip
    EXPECT_EQ(at(16 + 4, 8), drawn(3));   // cell (3, 0): the buffer's last column
    EXPECT_EQ(at(24, 8), kBackground);    // beyond the buffer

    clearTarget();
    scrollTo(3, 2);
    draw();
    EXPECT_EQ(at(8, 8), drawn(0));   // map pixel (3, 2): still cell (0, 0)
    EXPECT_EQ(at(9, 8), drawn(1));   // map pixel (4, 2)
    EXPECT_EQ(at(9, 10), drawn(3));  // map pixel (4, 4): cell (1, 1)
}

// Scrolled left of the map without wrap: the cells keep their pixels and the
// out-of-map chip shows before column 0.
TEST_F(DrawFixture, NegativeScrollWithoutWrapShowsTheOutOfMapChip) {
    scrollTo(-3, 0);
    draw();
    EXPECT_EQ(at(10, 8), drawn(5));
    EXPECT_EQ(at(11, 8), drawn(0));
    EXPECT_EQ(at(15, 8), drawn(1));
}

// Each buffer row moves by its own offset; with wrap a negative offset shows
// the last column's pixels before column 0.
TEST_F(DrawFixture, RasterOffsetsMoveSingleRows) {
    map.SetView(kNil, kNil, kNil, 1);
    map.SetRowOffset(1, 4);    // the view's first row: one cell on
    map.SetRowOffset(2, -1);   // its second row: one pixel back
    scrollTo(0, 0);
    draw();
    EXPECT_EQ(at(8, 8), drawn(1));
    EXPECT_EQ(at(8, 12), drawn((5 + 2) % 6));  // cell (5, 1), the far column
    EXPECT_EQ(at(9, 12), drawn(2));            // cell (0, 1)

    clearTarget();
    map.rasterMode = 0;
    map.Refill();
    draw();
    EXPECT_EQ(at(8, 8), drawn(0));
    EXPECT_EQ(at(8, 12), drawn(2));
}

// The upper layer leaves chip 0 out; hidden maps and chips far beyond the
// sheet draw nothing there.
TEST_F(DrawFixture, UpperLayerSkipsEmptyCellsAndHiddenMapsDrawNothing) {
    S_Map2 upper(true);
    upper.SetView(2, 2, kChip, 0);
    upper.SetScreenPos(8, 8);
    upper.SetChipPicture(kSheetSlot, 2 * kChip);
    ASSERT_TRUE(upper.SetChips(ChipGrid{2, 1, {0, 4}}));
    upper.Show();
    pics.SelectTarget(kTargetSlot);
    DrawMap(upper, pics);
    EXPECT_EQ(at(8, 8), kBackground);
    EXPECT_EQ(at(12, 8), drawn(4));

    clearTarget();
    map.Hide();
    draw();
    EXPECT_EQ(at(8, 8), kBackground);

    map.Show();
    map.Replace(0, 2000000000);
    draw();
    EXPECT_EQ(at(8, 8), kBackground);
    EXPECT_EQ(at(12, 8), drawn(1));
}

}  // namespace
}  // namespace qf
