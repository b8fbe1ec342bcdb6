#include "map/map.h"

#include <gtest/gtest.h>

#include <vector>

namespace qf {
namespace {

// A w × h map whose chip at (x, y) is x + 100·y + 1 (never 0).
S_Map2 numbered(int w, int h, int wrap) {
    S_Map2 map;
    ChipGrid grid{w, h, std::vector<int>(static_cast<size_t>(w * h))};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) grid.chips[static_cast<size_t>(y * w + x)] = x + 100 * y + 1;
    map.SetView(kNil, kNil, kNil, wrap);
    EXPECT_TRUE(map.SetChips(grid));
    return map;
}

int column(int chip) { return (chip - 1) % 100; }
int row(int chip) { return (chip - 1) / 100; }

TEST(Map, StartsWithItsDefaults) {
    S_Map2 slot, upper(true);
    EXPECT_EQ(slot.m_nMapW, 16);
    EXPECT_EQ(slot.m_nMapH, 16);
    EXPECT_EQ(slot.chips.size(), 256u);
    EXPECT_EQ(slot.m_nMapDrawW, 16);
    EXPECT_EQ(slot.m_nMapDrawH, 14);
    EXPECT_EQ(slot.m_nMapDrawBkW, 19);
    EXPECT_EQ(slot.m_nMapDrawBkH, 17);
    EXPECT_EQ(slot.buffer.size(), 19u * 17u);
    EXPECT_EQ(slot.visible, 0);
    EXPECT_EQ(slot.m_nMapBufId, 3);
    EXPECT_EQ(slot.chipSize, 16);
    EXPECT_EQ(slot.chipsPerRow, 4);
    EXPECT_EQ(slot.m_nCrtn, 1);
    EXPECT_EQ(slot.rasterMode, 1);
    EXPECT_EQ(slot.upperLayer, 0);
    EXPECT_EQ(upper.upperLayer, 1);
    EXPECT_EQ(upper.roofChip, 14);
    EXPECT_EQ(upper.roofFill, 23);
    EXPECT_TRUE(slot.loaded());
    // Scroll 0 on a wrapping map: the buffer starts at the last column and row.
    EXPECT_EQ(slot.m_nMapLX, -1);
    EXPECT_EQ(slot.m_nMapLY, -1);
    EXPECT_EQ(slot.Position().lx, 0);
    EXPECT_EQ(slot.Position().mapX, 8);
    EXPECT_EQ(slot.Position().mapY, 7);
}

TEST(Map, WrappingScrollShowsTheFarColumn) {
    S_Map2 map = numbered(20, 15, 1);
    map.m_nScrX = -1;
    map.Refill();
    EXPECT_EQ(map.m_nScrX, 20 * 16 - 1);
    // Buffer column 1 is drawn at (1 − 1)·16 − 15: column 19 reaches the left edge.
    EXPECT_EQ(map.rowFineX[1], 15);
    EXPECT_EQ(column(map.BufferCell(1, 1)), 19);
    EXPECT_EQ(column(map.BufferCell(1, 2)), 0);
    EXPECT_EQ(column(map.BufferCell(1, 0)), 18);
    EXPECT_EQ(map.Position().mapX, (18 + 8 + 1) % 20);

    // Far outside in both directions still lands in the map.
    map.m_nScrX = -5 * 320 - 17;
    map.m_nScrY = 10 * 240 + 16;
    map.Refill();
    EXPECT_EQ(map.m_nScrX, 320 - 17);
    EXPECT_EQ(map.m_nScrY, 16);
    EXPECT_EQ(map.m_nMapLY, 0);
    EXPECT_EQ(row(map.BufferCell(1, 1)), 1);
    // The buffer wraps past the map's right edge within a row.
    EXPECT_EQ(map.m_nMapLX, 17);
    EXPECT_EQ(column(map.BufferCell(3, 2)), 19);
    EXPECT_EQ(column(map.BufferCell(3, 3)), 0);
}

TEST(Map, EdgesOfAMapThatEnds) {
    S_Map2 map = numbered(20, 15, 0);
    map.outChip = 777;
    map.m_nScrX = -40;  // two and a half cells left of the map
    map.m_nScrY = 15 * 16 - 5 * 16;
    map.Refill();
    EXPECT_EQ(map.m_nScrX, -40);  // not brought into the map
    EXPECT_EQ(map.m_nMapLX, -3);
    EXPECT_EQ(map.rowFineX[0], -8);
    // Columns −3..−1 are outside; column 0 sits in buffer column 3, drawn at 2·16 + 8 = 40.
    EXPECT_EQ(map.BufferCell(1, 2), 777);
    EXPECT_EQ(column(map.BufferCell(1, 3)), 0);
    // Rows run off the bottom: map row 14 is buffer row 5, then the out-of-map chip.
    EXPECT_EQ(row(map.BufferCell(5, 3)), 14);
    EXPECT_EQ(map.BufferCell(6, 3), 777);
    EXPECT_EQ(map.BufferCell(16, 18), 777);

    // Between 0 and one chip the first column is still one left of the map.
    map.m_nScrX = 5;
    map.Refill();
    EXPECT_EQ(map.m_nMapLX, -1);
    EXPECT_EQ(map.BufferCell(1, 0), 777);
    EXPECT_EQ(column(map.BufferCell(1, 1)), 0);
}

TEST(Map, CellsWrapTheirCoordinates) {
    S_Map2 map = numbered(20, 15, 1);
    map.SetCell(5, -1, 0);
    EXPECT_EQ(map.chips[19], 5);
    map.SetCell(6, 21, -1);
    EXPECT_EQ(map.chips[14 * 20 + 1], 6);
    map.SetCell(7, -41, 30);
    EXPECT_EQ(map.chips[19], 7);
    EXPECT_EQ(map.GetCell(-1, 15), 7);
    EXPECT_EQ(map.GetCell(41, -1), 6);

    // SetCell wraps even when the map does not; GetCell then gives the out-of-map chip.
    map.m_nCrtn = 0;
    map.outChip = 9;
    map.SetCell(8, 0, -15);
    EXPECT_EQ(map.chips[0], 8);
    EXPECT_EQ(map.GetCell(0, 0), 8);
    EXPECT_EQ(map.GetCell(-1, 0), 9);
    EXPECT_EQ(map.GetCell(20, 0), 9);
    EXPECT_EQ(map.GetCell(0, 15), 9);

    // The buffer sees a change at once.
    map.m_nScrX = map.m_nScrY = 16;
    map.Refill();
    map.SetCell(55, 0, 0);
    EXPECT_EQ(map.BufferCell(0, 0), 55);
}

TEST(Map, ReplaceChangesEveryMatchingCell) {
    S_Map2 map;
    ASSERT_TRUE(map.Reset(4, 3));
    map.SetCell(2, 1, 1);
    map.SetCell(2, 3, 2);
    map.Replace(0, 5);
    map.Replace(2, 0);
    int fives = 0, zeros = 0;
    for (int chip : map.chips) {
        fives += chip == 5;
        zeros += chip == 0;
    }
    EXPECT_EQ(fives, 10);
    EXPECT_EQ(zeros, 2);
    EXPECT_EQ(map.BufferCell(2, 2), map.GetCell(map.m_nMapLX + 2, map.m_nMapLY + 2));
}

TEST(Map, CentreOnPutsTheCellAtTheViewCentre) {
    S_Map2 map = numbered(40, 30, 0);
    map.CentreOn(20, 10);
    EXPECT_EQ(map.m_nScrX, (20 - 8) * 16);
    EXPECT_EQ(map.m_nScrY, (10 - 7) * 16);
    EXPECT_EQ(map.Position().mapX, 20);
    EXPECT_EQ(map.Position().mapY, 10);
    EXPECT_EQ(map.Position().lx, map.m_nMapLX + 1);
    EXPECT_EQ(column(map.BufferCell(7 + 1, 8 + 1)), 20);
    EXPECT_EQ(row(map.BufferCell(7 + 1, 8 + 1)), 10);

    // Near the top-left edge the view reaches outside a map that ends ...
    map.outChip = 3;
    map.CentreOn(1, 0);
    EXPECT_EQ(map.m_nScrX, -7 * 16);
    EXPECT_EQ(map.Position().mapX, 1);
    EXPECT_EQ(map.Position().mapY, 0);
    EXPECT_EQ(map.BufferCell(1, 1), 3);

    // ... and wraps round one that repeats.
    S_Map2 wrapping = numbered(40, 30, 1);
    wrapping.CentreOn(1, 0);
    EXPECT_EQ(wrapping.m_nScrX, 40 * 16 - 7 * 16);
    EXPECT_EQ(wrapping.Position().mapX, 1);
    EXPECT_EQ(wrapping.Position().mapY, 0);
    EXPECT_EQ(column(wrapping.BufferCell(1, 1)), 33);

    // Negative coordinates stand for drawW/2 − 1 and drawH/2 − 1.
    map.CentreOn(-1, -5);
    EXPECT_EQ(map.m_nScrX, -16);
    EXPECT_EQ(map.m_nScrY, -16);
    EXPECT_EQ(map.Position().mapX, 7);
    EXPECT_EQ(map.Position().mapY, 6);

    // A cell outside the map leaves the scroll as it was.
    map.CentreOn(40, 3);
    EXPECT_EQ(map.m_nScrX, -16);
    map.CentreOn(3, 30);
    EXPECT_EQ(map.m_nScrY, -16);
}

TEST(Map, RasterOffsetsShiftSingleRows) {
    S_Map2 map = numbered(20, 15, 1);
    map.m_nScrX = 32;
    map.Refill();
    map.SetRowOffset(3, 5);
    map.SetRowOffset(4, 16 * 3);
    map.SetRowOffset(5, -20);
    EXPECT_EQ(map.rowFirstCell[2], 1);
    EXPECT_EQ(map.rowFineX[2], 0);
    EXPECT_EQ(map.rowFirstCell[3], 1);
    EXPECT_EQ(map.rowFineX[3], 5);
    EXPECT_EQ(map.rowFirstCell[4], 4);
    EXPECT_EQ(column(map.BufferCell(4, 0)), 4);
    // 32 − 20 = 12: the row starts one cell further left, 12 pixels in.
    EXPECT_EQ(map.rowFirstCell[5], -1);
    EXPECT_EQ(column(map.BufferCell(5, 0)), 19);
    EXPECT_EQ(map.rowFineX[5], 12);
    EXPECT_EQ(column(map.BufferCell(5, 1)), 0);
    EXPECT_EQ(column(map.BufferCell(6, 1)), 2);

    // Outside the buffer's rows nothing changes; without raster mode offsets are unused.
    map.SetRowOffset(17, 8);
    map.SetRowOffset(-1, 8);
    EXPECT_EQ(map.rowOffset[16], 0);
    map.rasterMode = 0;
    map.Refill();
    EXPECT_EQ(map.rowFirstCell[4], 1);
    EXPECT_EQ(map.rowFineX[3], 0);
}

TEST(Map, RoofRuleOfTheUpperLayer) {
    S_Map2 upper(true);
    ASSERT_TRUE(upper.Reset(20, 15, kNil, 0));
    upper.SetCell(14, 3, 3);
    upper.CentreOn(10, 7);
    // The centre cell is empty: nothing changes.
    EXPECT_EQ(upper.BufferCell(8, 9), 0);
    int r = 3 - upper.m_nMapLY, c = 3 - upper.m_nMapLX;
    EXPECT_EQ(upper.BufferCell(r, c), 14);
    // Standing under a roof chip: empty cells fill with 23 and 14 disappears.
    upper.SetCell(40, 10, 7);
    EXPECT_EQ(upper.BufferCell(8, 9), 40);
    EXPECT_EQ(upper.BufferCell(0, 0), 23);
    EXPECT_EQ(upper.BufferCell(r, c), 0);
    EXPECT_EQ(upper.chips[3 * 20 + 3], 14);  // the map itself keeps its chips

    // A map slot never applies the rule.
    S_Map2 slot;
    ASSERT_TRUE(slot.Reset(20, 15));
    slot.SetCell(40, 10, 7);
    slot.CentreOn(10, 7);
    EXPECT_EQ(slot.BufferCell(0, 0), 0);
}

TEST(Map, ScriptedAndContinuousScrolling) {
    S_Map2 map = numbered(20, 15, 0);
    map.StartScroll(2, -1, 16);
    EXPECT_EQ(map.m_nCntMove, 0);  // hidden: ignored
    map.Show();
    map.StartScroll(2, -1, 16);
    map.StartScroll(9, 9, 99);  // already scrolling: ignored
    for (int i = 0; i < 16; ++i) map.Step();
    EXPECT_EQ(map.m_nScrX, 32);
    EXPECT_EQ(map.m_nScrY, -16);
    EXPECT_EQ(map.m_nCntMove, 0);
    EXPECT_EQ(map.m_nVecMoveX, 0);
    EXPECT_EQ(map.m_nVecMoveY, 0);
    map.Step();
    EXPECT_EQ(map.m_nScrX, 32);

    // Left-out values keep theirs; continuous scrolling adds on top.
    map.m_nVecMoveY = 3;
    map.StartScroll(1, kNil, 2);
    map.m_nVecAutoX = 10;
    map.Step();
    map.Step();
    EXPECT_EQ(map.m_nScrX, 32 + 2 * 11);
    EXPECT_EQ(map.m_nScrY, -16 + 6);
    EXPECT_EQ(map.m_nMapLX, (32 + 22) / 16 - 1);
    map.Hide();
    map.Step();
    EXPECT_EQ(map.m_nScrX, 54);

    // Scrolling never overflows the pixel position.
    map.Show();
    map.m_nVecAutoX = 2000000000;
    for (int i = 0; i < 3; ++i) map.Step();
    EXPECT_EQ(map.m_nScrX, 2147483647);
}

TEST(Map, ViewSizesAndChipSheet) {
    S_Map2 map;
    map.SetView(20, 10, 32, 0);
    EXPECT_EQ(map.m_nMapDrawBkW, 23);
    EXPECT_EQ(map.m_nMapDrawBkH, 13);
    EXPECT_EQ(map.buffer.size(), 23u * 13u);
    EXPECT_EQ(map.chipSize, 32);
    EXPECT_EQ(map.m_nCrtn, 0);
    map.SetChipPicture(5, 320);
    EXPECT_EQ(map.m_nMapBufId, 5);
    EXPECT_EQ(map.chipsPerRow, 10);
    map.SetView(kNil, kNil, 16);
    EXPECT_EQ(map.m_nMapDrawW, 20);
    EXPECT_EQ(map.chipsPerRow, 20);
    map.SetSheetWidth(8);
    EXPECT_EQ(map.chipsPerRow, 1);  // at least one

    // Sizes beyond the limits are ignored.
    map.SetView(0, 254, 0);
    EXPECT_EQ(map.m_nMapDrawW, 20);
    EXPECT_EQ(map.m_nMapDrawH, 10);
    EXPECT_EQ(map.chipSize, 16);
    map.SetView(253, 253, 1024);
    EXPECT_EQ(map.m_nMapDrawBkH, 256);
    EXPECT_FALSE(map.Reset(0, 5));
    EXPECT_FALSE(map.Reset(16385, 1));
    EXPECT_FALSE(map.Reset(8192, 8192));
    EXPECT_TRUE(map.Reset(16384, 1024));
    EXPECT_FALSE(map.SetChips(ChipGrid{2, 2, {1, 2, 3}}));
    EXPECT_EQ(map.m_nMapW, 16384);
}

}  // namespace
}  // namespace qf
