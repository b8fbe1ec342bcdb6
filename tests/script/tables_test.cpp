#include <gtest/gtest.h>

#include <string>

#include "script/tables.h"

namespace qf {
namespace {

// One line of 10,000 commas and 10,000 empty lines: 20 KB that a table padded
// to its widest row would turn into a hundred million cells.
TEST(Table, RowsKeepOnlyTheirOwnCellsAndTheRestReadsAsTheFillValue) {
    const std::string text = std::string(10000, ',') + std::string(10000, '\n');
    Table t;
    ASSERT_TRUE(t.Load(text, 0, -1));
    EXPECT_EQ(t.rowCount, 10001);
    EXPECT_EQ(t.columnCount, 10001);
    ASSERT_EQ(t.rows.size(), 10001u);
    EXPECT_EQ(t.rows[0].size(), 10001u);
    for (size_t r = 1; r < t.rows.size(); ++r) ASSERT_EQ(t.rows[r].size(), 1u) << r;
    EXPECT_EQ(t.Cell(0, 5).num(), 0);        // an empty line reads as the integer 0
    EXPECT_EQ(t.Cell(9999, 9999).num(), -1);  // beyond the line's cells: the fill value
    EXPECT_EQ(t.Cell(5000, 0).num(), -1);     // an empty cell holds the fill value
    EXPECT_EQ(t.Cell(10001, 0).num(), 0);     // outside the table
    EXPECT_EQ(t.Cell(0, 10001).num(), 0);
}

TEST(Table, ALineOfTheWidestRowsWidthKeepsItsCellsAndOthersTheirOwn) {
    Table t;
    ASSERT_TRUE(t.Load("1,2,3\r\n4\r\n5,6\r\n", 0, 7));
    EXPECT_EQ(t.columnCount, 3);
    EXPECT_EQ(t.Cell(2, 0).num(), 3);
    EXPECT_EQ(t.Cell(1, 1).num(), 7);
    EXPECT_EQ(t.Cell(1, 2).num(), 6);
    EXPECT_EQ(t.Cell(2, 2).num(), 7);
}

}  // namespace
}  // namespace qf
