#include "map/land.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(Land, ChipRowsGiveEachCellItsAttribute) {
    S_Map2 map;
    ASSERT_TRUE(map.Reset(3, 2));
    map.SetCell(1, 1, 0);
    map.SetCell(2, 2, 0);
    map.SetCell(4, 0, 1);   // no row for chip 4
    map.SetCell(-1, 1, 1);  // nor for a negative chip
    LandGrid land;
    // Row c after the first line describes chip c; column 1 here.
    ASSERT_TRUE(land.LoadTable("chip,land,name\r\n0,0,grass\r\n1,1,wall\r\n2,,water\r\n"));
    land.Build(map, 1);
    EXPECT_EQ(land.width, 3);
    EXPECT_EQ(land.height, 2);
    EXPECT_EQ(land.At(0, 0), 0);
    EXPECT_EQ(land.At(1, 0), 1);
    EXPECT_EQ(land.At(2, 0), -1);  // an empty cell holds the table's fill
    EXPECT_EQ(land.At(0, 1), 0);
    EXPECT_EQ(land.At(1, 1), 0);
    EXPECT_EQ(land.At(2, 1), 0);
    EXPECT_FALSE(land.Inside(3, 0));
    EXPECT_EQ(land.At(-1, 0), 0);

    // Text cells read as numbers; an empty file keeps the table.
    land.Build(map, 2);
    EXPECT_EQ(land.At(1, 0), 0);
    EXPECT_FALSE(land.LoadTable(""));
    land.Build(map, 1);
    EXPECT_EQ(land.At(1, 0), 1);
}

}  // namespace
}  // namespace qf
