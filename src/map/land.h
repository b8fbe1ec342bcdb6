// The land-attribute grid: one number per map cell, looked up by the cell's
// chip in a table whose row c describes chip c.
#pragma once

#include <string>
#include <vector>

#include "map/map.h"
#include "script/tables.h"

namespace qf {

struct LandGrid {
    Table table;               // the attribute table, its first line skipped
    int column = 0;
    int width = 0, height = 0;
    std::vector<int> cells;    // row-major, width × height

    // Loads the table from the file's text; false (nothing changed) for an empty text.
    bool LoadTable(const std::string& text);
    // land[y·W + x] = table[chip(x, y)][column] as a number (0 without such a row).
    void Build(const S_Map2& map, int tableColumn);
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // 0 outside the grid.
    int At(int x, int y) const;
};

}  // namespace qf
